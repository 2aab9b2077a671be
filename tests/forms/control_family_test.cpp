#include "forms/control_family.h"

#include <gtest/gtest.h>

#include "forms/errors.h"
#include "forms/form.h"
#include "forms/label.h"
#include "forms/line.h"
#include "forms/shape.h"
#include "forms/text_box.h"

namespace vb::forms {
namespace {

class LineFamily : public ::testing::Test {
  protected:
    void SetUp() override {
        Line& first = lnMenu.Create(0);
        first.SetX1(150);
        first.SetY1(300);
        first.SetX2(4500);
        first.SetY2(300);
        first.SetBorderColor(kBlue);
        first.SetBorderStyle(kBorderDot);
        first.SetBorderWidth(2);
        first.SetContainer(&frame);
        form.AddControl(frame);
        form.AddControl(first);
        form.SetControlAddedObserver([&](Control& c) { added.push_back(&c); });
    }

    Form form{"frmTest"};
    Shape frame{"shpFrame"};
    ControlArray<Line> lnMenu{"lnMenu"};
    std::vector<Control*> added;
};

TEST_F(LineFamily, LoadCopiesTheLowestElementHiddenAndRegistersItWithTheForm) {
    Line& copy = static_cast<Line&>(lnMenu.Load(3));
    EXPECT_EQ(copy.Name(), "lnMenu");
    EXPECT_EQ(copy.Index(), 3);
    EXPECT_FALSE(copy.Visible());
    EXPECT_EQ(copy.X1(), 150);
    EXPECT_EQ(copy.Y1(), 300);
    EXPECT_EQ(copy.X2(), 4500);
    EXPECT_EQ(copy.Y2(), 300);
    EXPECT_EQ(copy.BorderColor(), kBlue);
    EXPECT_EQ(copy.BorderStyle(), kBorderDot);
    EXPECT_EQ(copy.BorderWidth(), 2);
    EXPECT_EQ(copy.Container(), &frame);
    EXPECT_EQ(copy.Parent(), &form);
    EXPECT_EQ(added, (std::vector<Control*>{&copy}));
    EXPECT_EQ(form.Controls().back(), &copy);
    EXPECT_EQ(&lnMenu[3], &copy);
}

TEST_F(LineFamily, BoundsFollowTheLoadedIndexes) {
    EXPECT_EQ(lnMenu.LBound(), 0);
    EXPECT_EQ(lnMenu.UBound(), 0);
    lnMenu.Load(1);
    lnMenu.Load(5);
    EXPECT_EQ(lnMenu.LBound(), 0);
    EXPECT_EQ(lnMenu.UBound(), 5);
    EXPECT_EQ(lnMenu.Count(), 3);
    EXPECT_FALSE(lnMenu.Contains(2));
}

TEST_F(LineFamily, RefusesTakenNegativeAndMissingIndexes) {
    lnMenu.Load(1);
    EXPECT_THROW(lnMenu.Load(1), ObjectAlreadyLoaded);
    EXPECT_THROW(lnMenu.Load(0), ObjectAlreadyLoaded);
    EXPECT_THROW(lnMenu.Load(-1), InvalidPropertyValue);
    EXPECT_THROW(lnMenu.Item(2), ElementNotFound);
    EXPECT_EQ(lnMenu.Count(), 2);
    EXPECT_EQ(added.size(), 1u);
}

TEST_F(LineFamily, ALoadedElementCopiesTheLowestNotTheOneItIsLoadedAfter) {
    Line& second = static_cast<Line&>(lnMenu.Load(1));
    second.SetX1(999);
    second.SetVisible(true);
    Line& third = static_cast<Line&>(lnMenu.Load(2));
    EXPECT_EQ(third.X1(), 150);
    EXPECT_FALSE(third.Visible());
}

TEST(ControlFamily, LabelsAndShapesLoadTheirOwnProperties) {
    Form form("frmTest");
    ControlArray<Label> lblGuide("lblGuide");
    Label& label = lblGuide.Create(0);
    label.SetCaption("ソースパス");
    label.Move(150, 210, 840, 180);
    form.AddControl(label);
    Label& loaded = static_cast<Label&>(lblGuide.Load(1));
    EXPECT_EQ(loaded.Caption(), "ソースパス");
    EXPECT_EQ(loaded.Left(), 150);
    EXPECT_EQ(loaded.Height(), 180);

    ControlArray<Shape> shp("shpBox");
    Shape& shape = shp.Create(0);
    shape.SetKind(kShapeCircle);
    shape.Move(10, 20, 30, 40);
    Shape& loadedShape = static_cast<Shape&>(shp.Load(1));
    EXPECT_EQ(loadedShape.Kind(), kShapeCircle);
    EXPECT_EQ(loadedShape.Width(), 30);
    EXPECT_FALSE(loadedShape.Visible());
    // No form: the element is loaded all the same.
    EXPECT_EQ(loadedShape.Parent(), nullptr);
}

TEST(ControlFamily, RefusesKindsThatCannotBeLoadedAndForeignNames) {
    ControlArray<TextBox> txt("txtField");
    txt.Create(0);
    EXPECT_THROW(txt.Load(1), PropertyNotSupported);
    EXPECT_EQ(txt.Count(), 1);

    ControlFamily family("lblGuide");
    Label stranger("lblUrl", 0);
    EXPECT_THROW(family.Add(stranger), InvalidPropertyValue);
    Label element("lblGuide", 0);
    family.Add(element);
    Label twin("lblGuide", 0);
    EXPECT_THROW(family.Add(twin), ObjectAlreadyLoaded);

    ControlFamily empty("lnNone");
    EXPECT_THROW(empty.LBound(), ElementNotFound);
    EXPECT_THROW(empty.Load(0), ElementNotFound);
}

}  // namespace
}  // namespace vb::forms
