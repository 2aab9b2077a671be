#include "qt/web_browser_view.h"

#include <QWebEngineNewWindowRequest>
#include <QWebEngineScript>
#include <QWebEngineView>

#include "qt/browser_page.h"
#include "qt/failure_report.h"

namespace vb::qtview {

namespace {

// Descriptions of a title that cannot be read; nobody shows them, the program only learns
// that the read failed.
const char* const kErrorPage = "ページを表示できませんでした。";
const char* const kOtherOrigin = "アクセスが拒否されました。";

}  // namespace

WebBrowserView::WebBrowserView(forms::WebBrowser& browser, QWidget* parent,
                               AddressOpener openExternally, BrowserPolicy policy)
    : ControlView(browser, new QWebEngineView(parent)),
      browser_(browser),
      openExternally_(std::move(openExternally)),
      policy_(policy) {
    QWebEngineView* view = EngineView();
    page_ = new BrowserPage(policy_, view);
    if (policy_.KeptToLoopback()) page_->setUrlRequestInterceptor(new LoopbackInterceptor(page_));
    view->setPage(page_);
    // The engine puts its drawing surface into the view when the page first starts up. In a
    // window already shown that makes Qt re-create the whole window (a close or a key sent
    // to the old one is lost), so the page starts up now, before the window is shown. An
    // empty script runs nothing and navigates nowhere.
    page_->runJavaScript(QString());
    QObject::connect(page_, &QWebEnginePage::loadFinished, view,
                     [this](bool ok) { PageLoaded(ok); });
    QObject::connect(page_, &BrowserPage::frameCompleted, view,
                     [this](const QString& url, bool readable, const QString& title) {
                         FrameLoaded(url, readable, title);
                     });
    // A request left unanswered (not opened in a page) opens no window in the engine.
    QObject::connect(page_, &QWebEnginePage::newWindowRequested, view,
                     [this](QWebEngineNewWindowRequest& request) { NewWindowRequested(request); });
}

QWebEngineView* WebBrowserView::EngineView() const {
    return static_cast<QWebEngineView*>(Widget());
}

void WebBrowserView::UpdateOwn(forms::Change change) {
    if (change == forms::Change::Navigate) NavigateToRequested();
}

void WebBrowserView::NavigateToRequested() {
    const QUrl url(QString::fromStdString(browser_.LocationRequested()));
    if (!url.isValid() || !policy_.MayNavigate(url)) return;
    page_->load(url);
}

void WebBrowserView::PageLoaded(bool ok) {
    const std::string url = page_->url().toString().toStdString();
    if (!ok) {
        Raise(forms::CompletedNavigation::Unreadable(url, kErrorPage));
        return;
    }
    // The document's own title: the view's title falls back to the address.
    QPointer<QWebEngineView> alive = EngineView();
    page_->runJavaScript(
        QStringLiteral("document.title"), QWebEngineScript::ApplicationWorld,
        [this, alive, url](const QVariant& title) {
            if (!alive) return;
            if (title.typeId() == QMetaType::QString)
                Raise(forms::CompletedNavigation::WithTitle(url, title.toString().toStdString()));
            else
                Raise(forms::CompletedNavigation::Unreadable(url, forms::kNoDocument));
        });
}

void WebBrowserView::FrameLoaded(const QString& url, bool readable, const QString& title) {
    const std::string address = url.toStdString();
    if (QUrl(url).scheme() == QLatin1String("chrome-error"))
        Raise(forms::CompletedNavigation::Unreadable(address, kErrorPage));
    else if (!readable)
        Raise(forms::CompletedNavigation::Unreadable(address, kOtherOrigin));
    else
        Raise(forms::CompletedNavigation::WithTitle(address, title.toStdString()));
}

void WebBrowserView::NewWindowRequested(const QWebEngineNewWindowRequest& request) {
    // Pop-ups a page opens by itself (on load, from a timer) are dropped, as a browser's
    // pop-up blocker would.
    if (!request.isUserInitiated() || !openExternally_) return;
    const QUrl url = request.requestedUrl();
    if (!policy_.MayOpenExternally(url)) return;
    const std::string address = url.toString(QUrl::FullyEncoded).toStdString();
    RunGuarded([&] { openExternally_(address); });
}

void WebBrowserView::Raise(const forms::BrowserObject& browser) {
    RunGuarded([&] { browser_.RaiseNavigateComplete2(browser, browser.LocationURL()); });
}

}  // namespace vb::qtview
