#pragma once

#include "forms/web_browser.h"
#include "qt/control_view.h"

class QWebEngineView;

namespace vb::qtview {

class BrowserPage;
class LoopbackInterceptor;

// The web-browser control over QWebEngineView. Navigate loads the address (as root only
// about:blank and loopback addresses; others are ignored). Every completed navigation of
// the page and of each of its frames raises NavigateComplete2 with a browser object whose
// title is the document's own document.title; after a failed load (the error page stands
// in), or for a frame of another origin, reading the title throws.
class WebBrowserView : public ControlView {
  public:
    WebBrowserView(forms::WebBrowser& browser, QWidget* parent);
    QWebEngineView* EngineView() const;

  protected:
    void UpdateOwn(forms::Change change) override;

  private:
    void NavigateToRequested();
    void PageLoaded(bool ok);
    void FrameLoaded(const QString& url, bool readable, const QString& title);
    void Raise(const forms::BrowserObject& browser);

    forms::WebBrowser& browser_;
    BrowserPage* page_;
};

}  // namespace vb::qtview
