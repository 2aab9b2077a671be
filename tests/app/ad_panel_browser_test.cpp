// The advertisement panel of the real main window with the real browser control, against
// pages served on 127.0.0.1.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <filesystem>
#include <memory>

#include "fakes.h"
#include "page_server.h"
#include "platform/program_folder.h"
#include "qt/browser_policy.h"
#include "qt/form_window.h"
#include "temp_dir.h"
#include "ui/frm_vornack.h"

namespace vb::test {
namespace {

constexpr const char* kAdPath = ui::kAdvertisementPath;

class AdPanelBrowserTest : public ::testing::Test {
  protected:
    void SetUp() override { platform::SetProgramFolderForTesting(dir.str(), "VornackBuilder"); }
    void TearDown() override {
        window.reset();
        form.reset();
        platform::SetProgramFolderForTesting("");
    }
    void Start(const std::string& adHost) {
        form = std::make_unique<ui::frmVornack>(
            ui::WindowServices{.boxes = boxes,
                               .events = events,
                               .shell = shell,
                               .options = {.advertisementHost = adHost}});
        // Kept to loopback whoever runs the test: the page is served on 127.0.0.1.
        window = std::make_unique<qtview::FormWindow>(*form, nullptr, qtview::BrowserPolicy(true));
        window->ShowForm();
        form->Form_Load();
    }
    bool Live() const {
        return form->wbCM.Visible() && form->lblCMNotice.Visible() && !form->txtCM.Visible();
    }
    // A completion after the last step switches the timer on again (its ticks then do
    // nothing), so only the step counter tells that the sequence is over.
    bool SequenceOver() const { return form->intNaviStep == ui::frmVornack::kNaviStepDone; }

    TempDir dir;
    FakeMessageBox boxes;
    CountingEventPump events;
    FakeDesktopShell shell;
    qtview::PageServer server;
    std::unique_ptr<ui::frmVornack> form;
    std::unique_ptr<qtview::FormWindow> window;
};

TEST_F(AdPanelBrowserTest, ABrandedPageGoesLiveOnceAndStaysLive) {
    server.Serve(kAdPath, "<html><head><title>ZUND CM</title></head><body>ad</body></html>");
    server.Serve("/plain", "<html><head><title>plain page</title></head><body>p</body></html>");
    Start(server.Host().toStdString());
    EXPECT_FALSE(Live());
    ASSERT_TRUE(QTest::qWaitFor([&] { return Live(); }, 20000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return SequenceOver(); }, 10000));

    form->wbCM.Navigate(server.Url("/plain").toStdString());  // a link followed later
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.Requests("/plain") == 1; }, 10000));
    QTest::qWait(2500);
    EXPECT_TRUE(Live());
    EXPECT_EQ(server.Requests(kAdPath), 1);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(AdPanelBrowserTest, ABrandedFrameMakesThePanelLive) {
    server.Serve(kAdPath,
                 "<html><head><title>no brand</title></head><body>"
                 "<iframe src='/frame'></iframe></body></html>");
    server.Serve("/frame", "<html><head><title>Zund frame</title></head><body>f</body></html>");
    Start(server.Host().toStdString());
    ASSERT_TRUE(QTest::qWaitFor([&] { return Live(); }, 20000));
    EXPECT_EQ(server.Requests(kAdPath), 1);
}

TEST_F(AdPanelBrowserTest, WithoutTheServerThePlaceholderStaysAndNothingIsRequestedAgain) {
    server.Serve("/plain", "unused");
    Start("127.0.0.1:1");  // nothing listens there
    ASSERT_TRUE(QTest::qWaitFor([&] { return SequenceOver(); }, 20000));
    QTest::qWait(2500);
    EXPECT_FALSE(Live());
    EXPECT_TRUE(form->txtCM.Visible());
    EXPECT_EQ(form->wbCM.LocationRequested(), "http://127.0.0.1:1" + std::string(kAdPath));
    EXPECT_EQ(form->intNaviStep, 2);
    EXPECT_TRUE(boxes.shown().empty());
}

}  // namespace
}  // namespace vb::test
