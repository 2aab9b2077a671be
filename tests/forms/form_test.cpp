#include "forms/form.h"

#include <gtest/gtest.h>

#include <vector>

#include "forms/errors.h"
#include "forms/label.h"

namespace vb::forms {
namespace {

TEST(FormGeometry, OuterSizeIsClientPlusFrameAndSettingItResizesTheClient) {
    Form form("frmTest");
    form.SetFrameFromView({45, 600, 45, 45});
    form.SetClientSize(7575, 5085);
    EXPECT_EQ(form.Width(), 7575 + 90);
    EXPECT_EQ(form.Height(), 5085 + 645);

    form.SetWidth(9000);
    form.SetHeight(7000);
    EXPECT_EQ(form.ClientWidth(), 9000 - 90);
    EXPECT_EQ(form.ClientHeight(), 7000 - 645);
    EXPECT_EQ(form.Width(), 9000);

    // The real frame arrives later; the client area stays, the outer size follows.
    form.SetFrameFromView({0, 300, 0, 0});
    EXPECT_EQ(form.ClientWidth(), 9000 - 90);
    EXPECT_EQ(form.Height(), 7000 - 645 + 300);
}

TEST(FormGeometry, NegativeSizesAreRefusedAndChangeNothing) {
    Form form("frmTest");
    form.SetClientSize(1000, 2000);
    const int width = form.Width(), height = form.Height();
    EXPECT_THROW(form.SetWidth(-1), InvalidPropertyValue);
    EXPECT_THROW(form.SetHeight(-15), InvalidPropertyValue);
    EXPECT_THROW(form.SetClientSize(-1, 10), InvalidPropertyValue);
    EXPECT_EQ(form.Width(), width);
    EXPECT_EQ(form.Height(), height);
    // Negative positions are fine: a window may stand partly off the screen.
    form.SetLeft(-300);
    form.SetTop(-45);
    EXPECT_EQ(form.Left(), -300);
    EXPECT_EQ(form.Top(), -45);
}

TEST(FormScaleMode, AcceptsTheEightModesAndRefusesOthers) {
    Form form("frmTest");
    EXPECT_EQ(form.ScaleMode(), kScaleTwips);
    for (int mode = 0; mode <= 7; ++mode) {
        form.SetScaleMode(mode);
        EXPECT_EQ(form.ScaleMode(), mode);
    }
    form.SetScaleMode(kScalePixels);
    for (int bad : {-1, 8, 99}) {
        EXPECT_THROW(form.SetScaleMode(bad), InvalidPropertyValue) << bad;
        EXPECT_EQ(form.ScaleMode(), kScalePixels);
    }
}

TEST(FormTopMost, NotifiesOnlyWhenTheBandChangesAndActivateAlways) {
    Form form("frmTest");
    std::vector<Change> changes;
    form.SetObserver([&](Change c) { changes.push_back(c); });
    form.SetTopMost(true);
    form.SetTopMost(true);
    form.Activate();
    EXPECT_TRUE(form.TopMost());
    EXPECT_EQ(changes, (std::vector<Change>{Change::TopMost, Change::Activate}));
}

struct UnloadCase {
    const char* name;
    UnloadMode mode;
    bool cancel;
};
void PrintTo(const UnloadCase& c, std::ostream* os) { *os << c.name; }

class FormUnload : public ::testing::TestWithParam<UnloadCase> {};

TEST_P(FormUnload, RunsQueryUnloadOnceWithTheReason) {
    const UnloadCase& c = GetParam();
    Form form("frmTest");
    std::vector<UnloadMode> calls;
    int unloadedNotices = 0;
    form.QueryUnload = [&](bool& cancel, UnloadMode mode) {
        calls.push_back(mode);
        cancel = c.cancel;
    };
    form.SetObserver([&](Change ch) { unloadedNotices += ch == Change::Unloaded; });

    EXPECT_EQ(form.Unload(c.mode), !c.cancel);
    EXPECT_EQ(form.IsUnloaded(), !c.cancel);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], c.mode);
    EXPECT_EQ(unloadedNotices, c.cancel ? 0 : 1);

    // Once unloaded, closing again (the view answering the notice) runs nothing more.
    form.Unload(UnloadMode::ControlMenu);
    EXPECT_EQ(calls.size(), c.cancel ? 2u : 1u);
}

INSTANTIATE_TEST_SUITE_P(Reasons, FormUnload,
                         ::testing::Values(UnloadCase{"closeBox", UnloadMode::ControlMenu, false},
                                           UnloadCase{"code", UnloadMode::FromCode, false},
                                           UnloadCase{"session", UnloadMode::AppWindows, false},
                                           UnloadCase{"cancelled", UnloadMode::FromCode, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FormUnload, AnUnloadFromInsideQueryUnloadDoesNotRunItAgain) {
    Form form("frmTest");
    int calls = 0;
    form.QueryUnload = [&](bool&, UnloadMode) {
        ++calls;
        form.Unload(UnloadMode::FromCode);
    };
    EXPECT_TRUE(form.Unload(UnloadMode::ControlMenu));
    EXPECT_EQ(calls, 1);
}

TEST(FormZOrder, NewControlsGoOnTopAndZOrderMovesThem) {
    Form form("frmTest");
    Label a("a"), b("b"), c("c");
    form.AddControl(a);
    form.AddControl(b);
    form.AddControl(c);
    EXPECT_EQ(form.ZOrderList(), (std::vector<Control*>{&a, &b, &c}));
    c.ZOrder(1);
    EXPECT_EQ(form.ZOrderList(), (std::vector<Control*>{&c, &a, &b}));
    a.ZOrder(0);
    EXPECT_EQ(form.ZOrderList(), (std::vector<Control*>{&c, &b, &a}));
    EXPECT_THROW(b.ZOrder(2), InvalidPropertyValue);
    EXPECT_EQ(form.ZOrderList(), (std::vector<Control*>{&c, &b, &a}));
    // Design order is not the z-order.
    EXPECT_EQ(form.Controls(), (std::vector<Control*>{&a, &b, &c}));
}

}  // namespace
}  // namespace vb::forms
