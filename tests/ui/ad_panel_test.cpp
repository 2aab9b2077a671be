// The advertisement panel: request sequence and title test.
#include "build_config.h"
#include "window_fixture.h"

namespace vb::test {
namespace {

class AdPanelTest : public WindowTest {
  protected:
    void Complete(std::optional<std::string> title) {
        FakeBrowserObject browser(std::move(title));
        Window().wbCM.RaiseNavigateComplete2(browser, browser.LocationURL());
    }
    bool Live() {
        auto& w = Window();
        return w.wbCM.Visible() && w.lblCMNotice.Visible() && !w.txtCM.Visible();
    }
    bool Placeholder() {
        auto& w = Window();
        return !w.wbCM.Visible() && !w.lblCMNotice.Visible() && w.txtCM.Visible();
    }
};

TEST_F(AdPanelTest, TheTimerStepsOnceThroughTheRequest) {
    auto& w = Started();
    EXPECT_FALSE(w.tmrNaviStep.Enabled());
    Complete("");  // the blank page
    EXPECT_TRUE(w.tmrNaviStep.Enabled());
    EXPECT_TRUE(Placeholder());

    const int yieldsBefore = events.yields();
    w.tmrNaviStep.RaiseTick();
    EXPECT_EQ(events.yields(), yieldsBefore + 1);  // pending events run first
    // The advertisement's address as the program must ask for it; stated here once.
    EXPECT_EQ(w.wbCM.LocationRequested(),
              "http://" + std::string(build_config::kAdHost) + "/member/zund/cm/navigator.php");
    EXPECT_EQ(w.intNaviStep, ui::frmVornack::kNaviStepStop);
    w.tmrNaviStep.RaiseTick();
    EXPECT_FALSE(w.tmrNaviStep.Enabled());
    EXPECT_EQ(w.intNaviStep, ui::frmVornack::kNaviStepDone);

    // Later completions re-arm the timer, but its ticks request nothing more.
    w.wbCM.Navigate("about:blank");
    Complete("no brand here");
    EXPECT_TRUE(w.tmrNaviStep.Enabled());
    w.tmrNaviStep.RaiseTick();
    EXPECT_EQ(w.intNaviStep, ui::frmVornack::kNaviStepDone);
    EXPECT_EQ(w.wbCM.LocationRequested(), "about:blank");
}

TEST_F(AdPanelTest, TheBrandWordInAnyCaseAnywhereMakesThePanelLiveForGood) {
    const char* titles[] = {"ZUND", "Welcome to zund", "xZuNdy", "広告 ZUND 募集"};
    for (const char* title : titles) {
        window.reset();
        Started();
        Complete("nothing");
        EXPECT_TRUE(Placeholder()) << title;
        Complete(std::string(title));
        EXPECT_TRUE(Live()) << title;
        Complete("another page");  // a later page without the word
        Complete(std::nullopt);
        EXPECT_TRUE(Live()) << title;
    }
}

TEST_F(AdPanelTest, AnUnreadableTitleChangesNothingButTheTimer) {
    auto& w = Started();
    Complete(std::nullopt);
    EXPECT_TRUE(Placeholder());
    EXPECT_TRUE(w.tmrNaviStep.Enabled());
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(AdPanelTest, ReloadingTheSettingsNeitherRequestsAgainNorHidesThePanel) {
    auto& w = Started();
    Complete("");
    w.tmrNaviStep.RaiseTick();
    w.tmrNaviStep.RaiseTick();
    Complete("ZUND");
    w.mnuFileReload.RaiseClick();
    EXPECT_TRUE(Live());
    EXPECT_EQ(w.intNaviStep, ui::frmVornack::kNaviStepDone);
    EXPECT_EQ(w.txtCM.Text(), ui::kAdPlaceholder);
}

}  // namespace
}  // namespace vb::test
