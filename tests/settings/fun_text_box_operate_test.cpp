#include "settings/fun_text_box_operate.h"

#include <gtest/gtest.h>

#include "forms/combo_box.h"
#include "forms/errors.h"
#include "forms/label.h"
#include "forms/text_box.h"

namespace vb::settings {
namespace {

// A control whose Text refuses every value.
class RefusingControl : public forms::Control {
  public:
    using Control::Control;
    const char* TypeName() const override { return "Refusing"; }
    std::string Text() const override { return "kept"; }
    void SetText(const std::string&) override { throw forms::InvalidPropertyValue(); }
};

TEST(ClearAllTextTest, EmptiesEveryTextAndSkipsControlsThatRefuse) {
    forms::Form form("frmVornack");
    RefusingControl refusing("refusing");
    forms::ComboBox list("cboServer");
    forms::Label label("lblGuide", 0);
    forms::TextBox single("txtSrcPath"), multi("txtLog");
    list.AddItem("host");
    list.SetListIndex(0);
    single.SetText("/src");
    multi.SetText("line 1\r\nline 2\r\n");
    for (forms::Control* c :
         std::initializer_list<forms::Control*>{&refusing, &list, &label, &single, &multi})
        form.AddControl(*c);

    ClearAllText(form);

    EXPECT_EQ(single.Text(), "");
    EXPECT_EQ(multi.Text(), "");
    EXPECT_EQ(list.ListIndex(), 0);
    EXPECT_EQ(list.Text(), "host");
    EXPECT_EQ(refusing.Text(), "kept");
}

}  // namespace
}  // namespace vb::settings
