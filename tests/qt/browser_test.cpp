#include <gtest/gtest.h>

#include <QTest>
#include <QWebEngineView>

#include "forms/form.h"
#include "forms/web_browser.h"
#include "page_server.h"
#include "qt/browser_policy.h"
#include "qt/form_window.h"
#include "qt/web_browser_view.h"

namespace vb::qtview {
namespace {

struct Completion {
    std::string url;
    bool readable;
    std::string title;
};

class BrowserControl : public ::testing::Test {
  protected:
    void SetUp() override {
        form.SetClientSize(4500, 3000);
        wbCM.Move(0, 0, 4500, 3000);
        form.AddControl(wbCM);
        wbCM.NavigateComplete2 = [this](const forms::BrowserObject& browser,
                                        const std::string& url) {
            EXPECT_EQ(browser.LocationURL(), url);
            const bool readable = browser.HasDocumentTitle();
            seen.push_back({url, readable, readable ? browser.DocumentTitle() : ""});
        };
        window = std::make_unique<FormWindow>(form, nullptr, BrowserPolicy(true));
        window->ShowForm();
    }
    void TearDown() override { window.reset(); }

    bool WaitForCompletions(std::size_t n) {
        return QTest::qWaitFor([&] { return seen.size() >= n; }, 30000);
    }
    const Completion* Find(const std::string& url) const {
        for (const Completion& c : seen)
            if (c.url == url) return &c;
        return nullptr;
    }

    PageServer server;
    forms::Form form{"frmBrowser"};
    forms::WebBrowser wbCM{"wbCM"};
    std::unique_ptr<FormWindow> window;
    std::vector<Completion> seen;
};

TEST_F(BrowserControl, ThePageAndEachFrameReportTheirOwnTitles) {
    server.Serve("/",
                 "<html><head><title>Top ZUND page</title></head><body>"
                 "<iframe src='/frame'></iframe><iframe src='" +
                     server.OtherOrigin("/frame2").toUtf8() + "'></iframe></body></html>");
    server.Serve("/frame", "<html><head><title>Frame one</title></head><body>1</body></html>");
    server.Serve("/frame2",
                 "<html><head><title>zund elsewhere</title></head><body>2</body></html>");

    wbCM.SetVisible(false);  // the panel starts hidden and still loads
    wbCM.Navigate(server.Url("/").toStdString());
    ASSERT_TRUE(WaitForCompletions(3));
    QTest::qWait(200);
    EXPECT_EQ(seen.size(), 3u);

    const Completion* top = Find(server.Url("/").toStdString());
    ASSERT_NE(top, nullptr);
    EXPECT_TRUE(top->readable);
    EXPECT_EQ(top->title, "Top ZUND page");
    const Completion* frame = Find(server.Url("/frame").toStdString());
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->readable);
    EXPECT_EQ(frame->title, "Frame one");
    const Completion* other = Find(server.OtherOrigin("/frame2").toStdString());
    ASSERT_NE(other, nullptr);
    EXPECT_FALSE(other->readable);
}

TEST_F(BrowserControl, TheTitleIsTheDocumentsNeverTheAddress) {
    server.Serve("/untitled", "<html><body>no title here</body></html>");
    wbCM.Navigate("about:blank");
    ASSERT_TRUE(WaitForCompletions(1));
    EXPECT_EQ(seen[0].url, "about:blank");
    EXPECT_TRUE(seen[0].readable);
    EXPECT_EQ(seen[0].title, "");

    wbCM.Navigate(server.Url("/untitled").toStdString());
    ASSERT_TRUE(WaitForCompletions(2));
    EXPECT_TRUE(seen[1].readable);
    EXPECT_EQ(seen[1].title, "");
}

TEST_F(BrowserControl, AFailedLoadMakesTheTitleUnreadable) {
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    const int port = closed.serverPort();
    closed.close();
    wbCM.Navigate(
        QString("http://127.0.0.1:%1/member/zund/cm/navigator.php").arg(port).toStdString());
    ASSERT_TRUE(WaitForCompletions(1));
    EXPECT_FALSE(seen[0].readable);
}

TEST_F(BrowserControl, KeptToLoopbackOtherAddressesAreIgnored) {
    wbCM.Navigate("http://cm.vornack.example/member/zund/cm/navigator.php");
    EXPECT_EQ(wbCM.LocationRequested(), "http://cm.vornack.example/member/zund/cm/navigator.php");
    QTest::qWait(1000);
    EXPECT_TRUE(seen.empty());
    auto* view = dynamic_cast<WebBrowserView*>(window->ViewFor(wbCM));
    ASSERT_NE(view, nullptr);
    EXPECT_NE(view->EngineView()->url().host(), QString("cm.vornack.example"));

    // A page that links away cannot take the control there either.
    server.Serve("/away",
                 "<html><head><title>away</title><script>"
                 "location.href='http://cm.vornack.example/';</script></head></html>");
    wbCM.Navigate(server.Url("/away").toStdString());
    ASSERT_TRUE(WaitForCompletions(1));
    QTest::qWait(500);
    EXPECT_EQ(view->EngineView()->url(), QUrl(server.Url("/away")));
}

TEST_F(BrowserControl, OnlyNewWindowsTheUserAsksForOpenInTheUsersBrowser) {
    std::vector<std::string> opened;
    window->OpenExternally = [&](const std::string& url) { opened.push_back(url); };
    // On load the page opens a window by itself, and one to an address not on loopback.
    server.Serve("/ad",
                 "<html><head><title>ad</title></head>"
                 "<body style='margin:0' onload=\"window.open('/popup')\">"
                 "<a id='ad' target='_blank' href='/shop' style='display:block;height:100px'>"
                 "shop</a><a id='far' target='_blank' href='http://cm.vornack.example/' "
                 "style='display:block;height:100px'>far</a></body></html>");
    wbCM.Navigate(server.Url("/ad").toStdString());
    ASSERT_TRUE(WaitForCompletions(1));
    QTest::qWait(500);
    EXPECT_TRUE(opened.empty());

    // Clicks as the user makes them, on the engine's input widget.
    auto* view = dynamic_cast<WebBrowserView*>(window->ViewFor(wbCM));
    ASSERT_NE(view, nullptr);
    QWidget* input = view->EngineView()->focusProxy();
    ASSERT_NE(input, nullptr);
    QTest::mouseClick(input, Qt::LeftButton, {}, QPoint(20, 150));
    QTest::mouseClick(input, Qt::LeftButton, {}, QPoint(20, 50));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !opened.empty(); }, 10000));
    QTest::qWait(500);
    EXPECT_EQ(opened, std::vector<std::string>{server.Url("/shop").toStdString()});
    EXPECT_EQ(server.Requests("/popup"), 0);
}

}  // namespace
}  // namespace vb::qtview
