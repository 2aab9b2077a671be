#include "forms/fun_text_box_operate.h"

#include <gtest/gtest.h>

#include "forms/combo_box.h"
#include "forms/errors.h"
#include "forms/label.h"
#include "forms/text_box.h"

namespace vb::forms {
namespace {

// A control whose Text refuses every value.
class RefusingControl : public Control {
  public:
    using Control::Control;
    const char* TypeName() const override { return "Refusing"; }
    void Accept(ControlVisitor&) override {}  // no view draws it
    std::string Text() const override { return "kept"; }
    void SetText(const std::string&) override { throw InvalidPropertyValue(); }
};

TEST(ClearAllTextTest, EmptiesEveryTextAndSkipsControlsThatRefuse) {
    Form form("frmVornack");
    RefusingControl refusing("refusing");
    ComboBox list("cboServer");
    Label label("lblGuide", 0);
    TextBox single("txtSrcPath"), multi("txtLog");
    list.AddItem("host");
    list.SetListIndex(0);
    single.SetText("/src");
    multi.SetText("line 1\r\nline 2\r\n");
    for (Control* c : std::initializer_list<Control*>{&refusing, &list, &label, &single, &multi})
        form.AddControl(*c);

    ClearAllText(form);

    EXPECT_EQ(single.Text(), "");
    EXPECT_EQ(multi.Text(), "");
    EXPECT_EQ(list.ListIndex(), 0);
    EXPECT_EQ(list.Text(), "host");
    EXPECT_EQ(refusing.Text(), "kept");
}

}  // namespace
}  // namespace vb::forms
