#include "forms/window_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <stdexcept>
#include <thread>
#include <vector>

#include "forms/text_box.h"
#include "forms/timer_step.h"
#include "forms/window_thread.h"

namespace vb::forms {
namespace {

int reported = 0;
void CountFailures(const std::function<void()>& handler) {
    try {
        handler();
    } catch (...) {
        ++reported;
    }
}

struct WindowRulesTest : ::testing::Test {
    WindowRulesTest() { reported = 0; }
    Form form{"frmTest"};
    TextBox a{"a"}, b{"b"};
    WindowRules rules{form, CountFailures};
    std::vector<UnloadMode> asked;
};

TEST_F(WindowRulesTest, OnlyAMoveToAnotherControlIsAFocusLoss) {
    int aLost = 0;
    a.LostFocus = [&] { ++aLost; };
    b.LostFocus = [] { throw std::runtime_error("reported, not passed on"); };
    rules.FocusMovedTo(&a);
    rules.FocusMovedTo(nullptr);  // a menu, a box, another program
    rules.FocusMovedTo(&a);
    EXPECT_EQ(aLost, 0);
    rules.FocusMovedTo(&b);
    EXPECT_EQ(aLost, 1);
    rules.FocusMovedTo(&a);
    EXPECT_EQ(reported, 1);
}

TEST_F(WindowRulesTest, ACloseAsksTheFormOnceAndAFailingAnswerStillCloses) {
    bool keep = true;
    form.QueryUnload = [&](bool& cancel, UnloadMode mode) {
        asked.push_back(mode);
        cancel = keep;
    };
    EXPECT_FALSE(rules.AllowsClose());
    keep = false;
    EXPECT_TRUE(rules.AllowsClose());
    EXPECT_TRUE(rules.AllowsClose());  // unloaded: not asked again
    EXPECT_EQ(asked, (std::vector<UnloadMode>{UnloadMode::ControlMenu, UnloadMode::ControlMenu}));

    Form failing("frmFailing");
    failing.QueryUnload = [](bool&, UnloadMode) { throw std::runtime_error("failed"); };
    WindowRules failingRules(failing, CountFailures);
    EXPECT_TRUE(failingRules.AllowsClose());
    EXPECT_EQ(reported, 1);
}

TEST_F(WindowRulesTest, AfterTheSessionEndAHeldCloseStillGoesThroughTheForm) {
    bool busy = true;  // as a window holds its close during its start-up or a run
    form.QueryUnload = [&](bool& cancel, UnloadMode mode) {
        asked.push_back(mode);
        cancel = busy;
    };
    rules.EndSession();
    EXPECT_FALSE(rules.AllowsClose());
    busy = false;
    EXPECT_TRUE(rules.AllowsClose());
    rules.EndSession();  // unloaded: nothing more
    EXPECT_EQ(asked, (std::vector<UnloadMode>{UnloadMode::AppWindows, UnloadMode::ControlMenu,
                                              UnloadMode::ControlMenu}));
}

TEST(TextBoxRules, ABoxGrowsAboutItsCentreToShowEveryLine) {
    for (int needed = 0; needed < 40; ++needed) {
        const VerticalSpan grown = GrownAboutCentre({100, 21}, needed);
        EXPECT_EQ(grown.height, std::max(needed, 21));
        // The centre stays within half a pixel.
        EXPECT_LE(std::abs(2 * grown.top + grown.height - (2 * 100 + 21)), 1) << needed;
    }
    TextBox box("txtLog");
    EXPECT_FALSE(box.GrowsToShowEveryLine());  // a single line shows whole
    box.SetMultiLine(true);
    EXPECT_TRUE(box.GrowsToShowEveryLine());
    for (ScrollBars bars : {ScrollBars::Horizontal, ScrollBars::Vertical, ScrollBars::Both}) {
        box.SetScrollBars(bars);
        EXPECT_FALSE(box.GrowsToShowEveryLine());
        EXPECT_EQ(box.ShowsVerticalBar(), bars != ScrollBars::Horizontal);
        EXPECT_EQ(box.ShowsHorizontalBar(), bars != ScrollBars::Vertical);
    }
}

TEST(TimerRules, EnablingAgainKeepsTheIntervalAndANewIntervalRestarts) {
    Timer timer("tmrStep");
    timer.SetInterval(100);
    EXPECT_EQ(StepAfter(timer, Change::Enabled, false), TimerStep::Start);
    EXPECT_EQ(StepAfter(timer, Change::Enabled, true), TimerStep::Keep);
    EXPECT_EQ(StepAfter(timer, Change::Interval, true), TimerStep::Start);
    EXPECT_EQ(StepAfter(timer, Change::Geometry, false), TimerStep::Keep);
    timer.SetEnabled(false);
    EXPECT_EQ(StepAfter(timer, Change::Enabled, true), TimerStep::Stop);
}

// A form made on another thread is itself the touch off the window's thread; the window's
// own calls stay on theirs.
TEST(WindowThreadTest, AFormMadeOnAnotherThreadLeavesTheWindowsThreadAsItWas) {
    Form form("frmTest");
    TextBox box("txtLog");
    form.AddControl(box);
    static std::atomic<int> offThread = 0;
    const OffThreadHandler previous =
        SetOffThreadHandlerForTesting([](const char*) { ++offThread; });
    std::thread([] { Form other("frmOther"); }).join();
    const int byTheOtherForm = offThread.load();
    box.AppendText("on the window's thread\r\n");
    SetOffThreadHandlerForTesting(previous);
    EXPECT_EQ(byTheOtherForm, 1);
    EXPECT_EQ(offThread.load(), 1);
}

#if GTEST_HAS_DEATH_TEST
TEST(WindowThreadDeathTest, AControlTouchedOffTheWindowsThreadEndsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Form form("frmTest");
    TextBox box("txtLog");
    form.AddControl(box);
    box.AppendText("on the window's thread\r\n");
    EXPECT_DEATH(std::thread([&] { box.AppendText("from a helper\r\n"); }).join(),
                 "TextBox touched off the window's thread");
}
#endif

}  // namespace
}  // namespace vb::forms
