#pragma once

#include "forms/web_browser.h"
#include "qt/browser_policy.h"
#include "qt/control_view.h"

class QWebEngineNewWindowRequest;
class QWebEngineView;

namespace vb::qtview {

class BrowserPage;

// The web-browser control over QWebEngineView. Navigate loads the address (when the policy
// keeps it to loopback, only about:blank and loopback addresses; others are ignored). Every
// completed navigation of the page and of each of its frames raises NavigateComplete2 with a
// browser object whose title is the document's own document.title; after a failed load (the error
// page stands in), or for a frame of another origin, reading the title throws. A new window the
// user asks for (a target="_blank" link or window.open run from a click) opens in the user's own
// browser through openExternally; new windows a page opens by itself open nothing.
class WebBrowserView : public ControlView {
  public:
    WebBrowserView(forms::WebBrowser& browser, QWidget* parent, AddressOpener openExternally = {},
                   BrowserPolicy policy = BrowserPolicy::OfThisProcess());
    QWebEngineView* EngineView() const;

  protected:
    void UpdateOwn(forms::Change change) override;

  private:
    void NavigateToRequested();
    void PageLoaded(bool ok);
    void FrameLoaded(const QString& url, bool readable, const QString& title);
    void Raise(const forms::BrowserObject& browser);
    void NewWindowRequested(const QWebEngineNewWindowRequest& request);

    forms::WebBrowser& browser_;
    AddressOpener openExternally_;
    BrowserPolicy policy_;
    BrowserPage* page_;
};

}  // namespace vb::qtview
