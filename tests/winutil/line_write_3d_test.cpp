#include <gtest/gtest.h>

#include <tuple>

#include "fakes.h"
#include "forms/errors.h"
#include "forms/form.h"
#include "forms/label.h"
#include "forms/line.h"
#include "forms/shape.h"
#include "screen_fixture.h"
#include "winutil/fun_line_write_3d.h"

namespace vb::winutil {
namespace {

using forms::ControlArray;
using forms::Line;
using forms::Shape;

constexpr int kFormWidth = 7695;

class LineWrite3D : public test::ScreenFixture {
  protected:
    void SetUp() override {
        form.SetFrameFromView({60, 645, 60, 60});
        form.SetClientSize(kFormWidth - 120, 5085);
    }

    Line& AddLine(int index, float x1, float y1, float x2, float y2) {
        Line& line = lnMenu.Create(index);
        line.SetX1(x1);
        line.SetY1(y1);
        line.SetX2(x2);
        line.SetY2(y2);
        form.AddControl(line);
        return line;
    }

    forms::Form form{"frmVornack"};
    ControlArray<Line> lnMenu{"lnMenu"};
    test::CountingEventPump pump;
};

TEST_F(LineWrite3D, SetMenuLineMakesAFullWidthEtchedPairUnderTheMenuBar) {
    Line& line = AddLine(0, 300, 900, 1200, 900);
    line.SetBorderStyle(forms::kBorderDot);

    SetMenuLine(lnMenu, pump);

    ASSERT_EQ(lnMenu.UBound(), 1);
    Line& twin = lnMenu[1];
    EXPECT_EQ(line.X1(), 0);
    EXPECT_EQ(line.Y1(), 0);
    EXPECT_EQ(line.X2(), kFormWidth);
    EXPECT_EQ(line.Y2(), 0);
    EXPECT_EQ(line.BorderColor(), forms::kButtonShadow);
    EXPECT_TRUE(twin.Visible());
    EXPECT_EQ(twin.BorderColor(), forms::kButtonHighlight);
    EXPECT_EQ(twin.X1(), 0);
    EXPECT_EQ(twin.X2(), kFormWidth);
    EXPECT_EQ(twin.Y1(), 15);
    EXPECT_EQ(twin.Y2(), 15);
    EXPECT_EQ(twin.BorderStyle(), forms::kBorderDot);
    EXPECT_EQ(twin.Container(), nullptr);
    EXPECT_EQ(pump.yields(), 1);
}

TEST_F(LineWrite3D, SetMenuLineWorksInTwipsAndRestoresTheScaleMode) {
    AddLine(0, 0, 0, 0, 0);
    form.SetScaleMode(forms::kScalePixels);
    int modeWhileDrawing = -1;
    pump.AtYield(1, [&] { modeWhileDrawing = form.ScaleMode(); });
    SetMenuLine(lnMenu, pump);
    EXPECT_EQ(modeWhileDrawing, forms::kScaleTwips);
    EXPECT_EQ(form.ScaleMode(), forms::kScalePixels);
}

TEST_F(LineWrite3D, ASecondSetMenuLineLoadsAThirdElementOverTheSecond) {
    AddLine(0, 0, 0, 0, 0);
    SetMenuLine(lnMenu, pump);
    SetMenuLine(lnMenu, pump);
    ASSERT_EQ(lnMenu.UBound(), 2);
    const Line& second = lnMenu[1];
    const Line& third = lnMenu[2];
    EXPECT_TRUE(third.Visible());
    EXPECT_EQ(third.BorderColor(), forms::kButtonHighlight);
    EXPECT_EQ(std::make_tuple(third.X1(), third.Y1(), third.X2(), third.Y2()),
              std::make_tuple(second.X1(), second.Y1(), second.X2(), second.Y2()));
}

TEST_F(LineWrite3D, SetMenuLineLeavesAContainerWithoutScaleModeAlone) {
    Shape panel("shpPanel");
    form.AddControl(panel);
    Line& line = AddLine(0, 0, 0, 0, 0);
    line.SetContainer(&panel);
    form.SetScaleMode(forms::kScaleInches);
    SetMenuLine(lnMenu, pump);
    EXPECT_EQ(lnMenu[1].Container(), &panel);
    EXPECT_EQ(form.ScaleMode(), forms::kScaleInches);
    EXPECT_EQ(lnMenu[1].Y1(), 15);
}

// Element 1 differs from element 0, which every loaded twin copies, so the table shows
// which properties the procedure sets and which stay as loaded.
struct LineCase {
    const char* name;
    int mode;
    bool fit;
    float elementX1, elementX2;  // after an optional stretch
    float twinX1, twinY1, twinX2, twinY2;
};
void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

class LineTwin : public LineWrite3D, public ::testing::WithParamInterface<LineCase> {};

TEST_P(LineTwin, SitsWhereTheModeSays) {
    const LineCase& c = GetParam();
    AddLine(0, 10, 20, 30, 40);
    Line& element = AddLine(1, 150, 300, 3000, 600);

    MakeLine3D(lnMenu, c.mode, pump, 1, c.fit);

    ASSERT_EQ(lnMenu.UBound(), 2);
    const Line& twin = lnMenu[2];
    EXPECT_EQ(element.X1(), c.elementX1);
    EXPECT_EQ(element.X2(), c.elementX2);
    EXPECT_EQ(element.BorderColor(), forms::kButtonShadow);
    EXPECT_EQ(twin.X1(), c.twinX1);
    EXPECT_EQ(twin.Y1(), c.twinY1);
    EXPECT_EQ(twin.X2(), c.twinX2);
    EXPECT_EQ(twin.Y2(), c.twinY2);
    EXPECT_TRUE(twin.Visible());
    EXPECT_EQ(twin.BorderColor(), forms::kButtonHighlight);
    EXPECT_EQ(pump.yields(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, LineTwin,
    ::testing::Values(
        // Mode 0 is never stretched; its twin is one pixel to the right.
        LineCase{"mode0", 0, true, 150, 3000, 165, 300, 3015, 600},
        LineCase{"mode1", 1, true, 0, kFormWidth, 0, 315, kFormWidth, 615},
        LineCase{"mode1NoFit", 1, false, 150, 3000, 150, 315, 3000, 615},
        // Mode 2 sets the mode-0 values and then overwrites them: one pixel below only.
        LineCase{"mode2", 2, true, 0, kFormWidth, 0, 315, kFormWidth, 615},
        LineCase{"mode2NoFit", 2, false, 150, 3000, 150, 315, 3000, 615},
        // Other modes leave the twin as loaded from element 0.
        LineCase{"mode3", 3, true, 150, 3000, 10, 20, 30, 40},
        LineCase{"modeMinus1", -1, false, 150, 3000, 10, 20, 30, 40}),
    [](const auto& info) { return std::string(info.param.name); });

struct ShapeCase {
    const char* name;
    int mode;
    int twinLeft, twinTop, twinWidth, twinHeight;
};
void PrintTo(const ShapeCase& c, std::ostream* os) { *os << c.name; }

class ShapeTwin : public LineWrite3D, public ::testing::WithParamInterface<ShapeCase> {};

TEST_P(ShapeTwin, SitsWhereTheModeSaysAndLiesBehindTheElement) {
    const ShapeCase& c = GetParam();
    ControlArray<Shape> shp("shpBox");
    Shape& first = shp.Create(0);
    first.Move(10, 20, 30, 40);
    first.SetKind(forms::kShapeRectangle);
    form.AddControl(first);
    Shape& element = shp.Create(1);
    element.Move(300, 600, 1200, 900);
    element.SetKind(forms::kShapeOval);
    form.AddControl(element);

    MakeLine3D(shp, c.mode, pump, 1, true);

    ASSERT_EQ(shp.UBound(), 2);
    const Shape& twin = shp[2];
    EXPECT_EQ(twin.Left(), c.twinLeft);
    EXPECT_EQ(twin.Top(), c.twinTop);
    EXPECT_EQ(twin.Width(), c.twinWidth);
    EXPECT_EQ(twin.Height(), c.twinHeight);
    EXPECT_EQ(twin.Kind(), forms::kShapeOval);
    EXPECT_TRUE(twin.Visible());
    EXPECT_EQ(element.BorderColor(), forms::kButtonShadow);
    EXPECT_EQ(twin.BorderColor(), forms::kButtonHighlight);

    const auto& z = form.ZOrderList();
    EXPECT_EQ(z.front(), &twin);
    EXPECT_EQ(z.back(), &element);
    EXPECT_EQ(pump.yields(), 1);
}

INSTANTIATE_TEST_SUITE_P(Modes, ShapeTwin,
                         ::testing::Values(ShapeCase{"mode0OnePixelLower", 0, 10, 615, 30, 900},
                                           ShapeCase{"mode1OnePixelRight", 1, 315, 20, 1200, 40},
                                           ShapeCase{"mode2BothWays", 2, 315, 615, 1200, 900},
                                           ShapeCase{"mode5AsLoaded", 5, 10, 20, 30, 40}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LineWrite3D, TheTwinGoesIntoTheGivenContainer) {
    Shape panel("shpPanel");
    form.AddControl(panel);
    AddLine(0, 0, 0, 0, 0);
    MakeLine3D(lnMenu, 1, pump, std::nullopt, false, &panel);
    EXPECT_EQ(lnMenu[1].Container(), &panel);
    // nullptr inside the optional is the form itself.
    lnMenu[0].SetContainer(&panel);
    MakeLine3D(lnMenu, 1, pump, 0, false, static_cast<forms::Control*>(nullptr));
    EXPECT_EQ(lnMenu[2].Container(), nullptr);
}

TEST_F(LineWrite3D, WithoutAnIndexTheLowestElementIsPaired) {
    AddLine(0, 0, 100, 500, 100);
    AddLine(1, 0, 900, 500, 900);
    MakeLine3D(lnMenu, 1, pump);
    EXPECT_EQ(lnMenu[2].Y1(), 115);
    EXPECT_EQ(lnMenu[0].BorderColor(), forms::kButtonShadow);
    EXPECT_EQ(lnMenu[1].BorderColor(), forms::kWindowText);
}

TEST_F(LineWrite3D, FailuresPassToTheCallerAndLoadNothing) {
    ControlArray<forms::Label> lblGuide("lblGuide");
    form.AddControl(lblGuide.Create(0));
    EXPECT_THROW(MakeLine3D(lblGuide, 1, pump), forms::PropertyNotSupported);  // no BorderColor
    EXPECT_EQ(lblGuide.UBound(), 0);

    AddLine(0, 0, 0, 0, 0);
    EXPECT_THROW(MakeLine3D(lnMenu, 1, pump, 7), forms::ElementNotFound);
    EXPECT_EQ(lnMenu.UBound(), 0);

    // A line that belongs to no form cannot be stretched across it.
    ControlArray<Line> loose("lnLoose");
    loose.Create(0);
    EXPECT_THROW(MakeLine3D(loose, 1, pump, 0, true), forms::ObjectRequired);
    EXPECT_THROW(SetMenuLine(loose, pump), forms::ObjectRequired);
}

}  // namespace
}  // namespace vb::winutil
