#pragma once

#include <exdisp.h>
#include <ocidl.h>
#include <oleidl.h>
#include <wrl/client.h>

#include "forms/web_browser.h"
#include "win32/control_view.h"

namespace vb::win32view {

class BrowserEvents;

// The web-browser control: the system's WebBrowser hosted by atl.dll (loaded when the first
// browser is made; no registry key is written). Navigate loads the address; every
// completed navigation of the page and of each of its frames raises NavigateComplete2 with
// the title read from the notifying browser's document. When the control cannot be made
// (no atl.dll, no browser engine), the view stays an empty window and nothing is raised.
// Keys aimed at the browser's windows go to the browser first (AddKeyboardTarget).
class WebBrowserView : public ControlView {
  public:
    WebBrowserView(forms::WebBrowser& browser, const ViewContext& context);
    ~WebBrowserView() override;

    // True when the browser control itself could be made.
    bool HasBrowser() const { return web_ != nullptr; }

  protected:
    void UpdateOwn(forms::Change change) override;

  private:
    void Connect(const ViewContext& context);

    forms::WebBrowser& browser_;
    // Let go in the reverse order: the connection, the sink, the page's keys, the browser.
    Microsoft::WRL::ComPtr<IWebBrowser2> web_;
    Microsoft::WRL::ComPtr<IOleInPlaceActiveObject> active_;
    Microsoft::WRL::ComPtr<BrowserEvents> events_;
    Microsoft::WRL::ComPtr<IConnectionPoint> point_;
    DWORD cookie_ = 0;
};

}  // namespace vb::win32view
