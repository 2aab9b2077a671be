#include <gtest/gtest.h>

#include <vector>

#include "forms/form.h"
#include "screen_fixture.h"
#include "winutil/api_set_window_pos.h"
#include "winutil/fun_form_position.h"
#include "winutil/fun_system_metrics.h"

namespace vb::winutil {
namespace {

class WindowPlacement : public test::ScreenFixture {
  protected:
    // A form whose outer size is exactly width x height twips.
    void SizeForm(int width, int height) {
        form.SetFrameFromView({0, 0, 0, 0});
        form.SetClientSize(width, height);
    }
    forms::Form form{"frmVornack"};
};

struct PositionCase {
    const char* name;
    int code;
    int top;
    int left;
};
void PrintTo(const PositionCase& c, std::ostream* os) { *os << c.name; }

class FormPosition : public WindowPlacement, public ::testing::WithParamInterface<PositionCase> {};

TEST_P(FormPosition, PlacesA9000By7000FormOnA1024By768Screen) {
    const PositionCase& c = GetParam();
    SetScreen(1024, 768, 15, {0, 0, 1024, 728});  // a 40-pixel task bar at the bottom
    SizeForm(9000, 7000);
    form.SetTop(111);
    form.SetLeft(222);
    SetFormPosition(form, c.code);
    EXPECT_EQ(form.Top(), c.top);
    EXPECT_EQ(form.Left(), c.left);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, FormPosition,
    ::testing::Values(PositionCase{"centre", 1, 2260, 3180},
                      // 11520 - (7000 + 600): the bottom edge 600 twips above the screen's.
                      PositionCase{"bottomRight", 2, 3920, 6360},
                      PositionCase{"topRight", 3, 0, 6360}, PositionCase{"bottomLeft", 4, 3920, 0},
                      PositionCase{"topLeft", 5, 0, 0}, PositionCase{"code0StaysPut", 0, 111, 222},
                      PositionCase{"code6StaysPut", 6, 111, 222},
                      PositionCase{"negativeStaysPut", -1, 111, 222}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowPlacement, CentringIgnoresTheTaskBar) {
    SetScreen(1024, 768, 15, {0, 0, 1024, 700});
    SizeForm(9000, 7000);
    SetFormPosition(form, kPositionCenter);
    EXPECT_EQ(form.Top(), 2260);
}

TEST_F(WindowPlacement, AFormLargerThanTheScreenIsNotClamped) {
    SetScreen(1024, 768, 15, {0, 0, 1024, 768});
    SizeForm(20000, 14000);
    SetFormPosition(form, kPositionCenter);
    EXPECT_EQ(form.Top(), -1240);
    EXPECT_EQ(form.Left(), -2320);
}

TEST_F(WindowPlacement, TopIsSetBeforeLeft) {
    SetScreen(1024, 768, 15, {0, 0, 1024, 768});
    SizeForm(9000, 7000);
    std::vector<std::pair<int, int>> seen;  // (top, left) at each change
    form.SetObserver([&](forms::Change) { seen.emplace_back(form.Top(), form.Left()); });
    SetFormPosition(form, kPositionCenter);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::make_pair(2260, 0));
    EXPECT_EQ(seen[1], std::make_pair(2260, 3180));
}

TEST_F(WindowPlacement, UsesTheOuterSizeOfTheForm) {
    SetScreen(1024, 768, 15, {0, 0, 1024, 768});
    form.SetFrameFromView({60, 640, 60, 60});
    form.SetClientSize(7575, 5085);  // outer 7695 x 5785
    SetFormPosition(form, kPositionCenter);
    EXPECT_EQ(form.Left(), 3832);  // (15360 - 7695) / 2 = 3832.5, rounded to the even 3832
    EXPECT_EQ(form.Top(), 2868);   // (11520 - 5785) / 2 = 2867.5, rounded to the even 2868
}

struct TaskBarCase {
    const char* name;
    int heightPx;
    float tpp;
    forms::PixelRect workArea;
    int expected;
};
void PrintTo(const TaskBarCase& c, std::ostream* os) { *os << c.name; }

class TaskBarHeight : public test::ScreenFixture,
                      public ::testing::WithParamInterface<TaskBarCase> {};

TEST_P(TaskBarHeight, IsTheStripBelowTheWorkArea) {
    const TaskBarCase& c = GetParam();
    SetScreen(1024, c.heightPx, c.tpp, c.workArea);
    EXPECT_EQ(GetTaskBarHeight(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Docks, TaskBarHeight,
    ::testing::Values(TaskBarCase{"bottom40px", 768, 15, {0, 0, 1024, 728}, 600},
                      TaskBarCase{"dockedAtTop", 768, 15, {0, 40, 1024, 768}, 0},
                      TaskBarCase{"dockedAtLeft", 768, 15, {60, 0, 1024, 768}, 0},
                      // 9600 - 12.5 * 727 = 512.5 and 9600 - 12.5 * 725 = 537.5: ties go
                      // to the even neighbour.
                      TaskBarCase{"tieRoundsDownToEven", 768, 12.5f, {0, 0, 1024, 727}, 512},
                      TaskBarCase{"tieRoundsUpToEven", 768, 12.5f, {0, 0, 1024, 725}, 538}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowPlacement, SetTopMostJoinsTheBandAndActivatesOnlyWhenAsked) {
    SizeForm(9000, 7000);
    form.SetLeft(300);
    form.SetTop(450);
    std::vector<forms::Change> changes;
    form.SetObserver([&](forms::Change c) { changes.push_back(c); });

    SetTopMost(form, false);
    EXPECT_TRUE(form.TopMost());
    EXPECT_EQ(changes, (std::vector<forms::Change>{forms::Change::TopMost}));

    changes.clear();
    SetTopMost(form, true);
    EXPECT_EQ(changes, (std::vector<forms::Change>{forms::Change::Activate}));
    // Size and position stay.
    EXPECT_EQ(form.Left(), 300);
    EXPECT_EQ(form.Top(), 450);
    EXPECT_EQ(form.Width(), 9000);
    EXPECT_EQ(form.Height(), 7000);
}

}  // namespace
}  // namespace vb::winutil
