#pragma once

#include <oaidl.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

#include "forms/web_browser.h"

namespace vb::win32view {

// The WebBrowser control's notifications (DWebBrowserEvents2) as an IDispatch sink.
// NavigateComplete2 reports the notifying browser object (the page's or a frame's) and the
// address it reached. A new window the user asks for (a click on a link to a new window)
// is cancelled and its address handed on, so it opens in the user's own browser; a pop-up
// the page opens by itself is cancelled and opens nothing.
class BrowserEvents final : public IDispatch {
  public:
    using Completed = std::function<void(IDispatch* browser, const std::string& url)>;
    using UserNewWindow = std::function<void(const std::string& url)>;

    BrowserEvents(Completed completed, UserNewWindow newWindow);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT*) override;

  private:
    ~BrowserEvents() = default;
    void NavigateComplete2(const DISPPARAMS& params);
    void NewWindow3(const DISPPARAMS& params);

    std::atomic<ULONG> references_{1};
    Completed completed_;
    UserNewWindow newWindow_;
};

// The browser object as seen now: its address and its document's title, or why the title
// cannot be read (no browser, no document, a document without a readable title).
forms::CompletedNavigation ReadCompletedNavigation(IDispatch* browser, const std::string& url);

}  // namespace vb::win32view
