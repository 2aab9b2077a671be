#include "win32/web_browser_view.h"

#include "platform/wide_text.h"
#include "win32/browser_events.h"
#include "win32/event_pump.h"
#include "win32/failure_report.h"
#include "win32/owned_handles.h"
#include "win32/system_library.h"

namespace vb::win32view {

namespace {

using AtlAxWinInitFn = BOOL(WINAPI*)();
using AtlAxGetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);

// The WebBrowser control's class id, so that making it needs no program-id lookup.
constexpr const wchar_t* kWebBrowserClass = L"{8856F961-340A-11D0-A96B-00C04FD705A2}";

struct AtlHost {
    AtlAxGetControlFn getControl = nullptr;
    bool ready = false;
};

// atl.dll registers its hosting window class once; later browsers reuse it.
const AtlHost& Atl() {
    static const AtlHost host = [] {
        AtlHost h;
        HMODULE atl = LoadSystemLibrary(L"atl.dll");
        if (!atl) return h;
        auto init = reinterpret_cast<AtlAxWinInitFn>(
            reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
        h.getControl = reinterpret_cast<AtlAxGetControlFn>(
            reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
        h.ready = init && h.getControl && init();
        return h;
    }();
    return host;
}

HWND CreateHost(const ViewContext& context) {
    if (!Atl().ready) return CreateChild(L"STATIC", 0, 0, context);
    // The host makes the control its window name names when it is created.
    HWND host = CreateChild(L"AtlAxWin", 0, 0, context, kWebBrowserClass);
    return host ? host : CreateChild(L"STATIC", 0, 0, context);
}

}  // namespace

WebBrowserView::WebBrowserView(forms::WebBrowser& browser, const ViewContext& context)
    : ControlView(browser, CreateHost(context), context.parent), browser_(browser) {
    RunGuarded([&] { Connect(context); });
}

void WebBrowserView::Connect(const ViewContext& context) {
    if (!Atl().ready || !Handle()) return;
    Microsoft::WRL::ComPtr<IUnknown> control;
    if (FAILED(Atl().getControl(Handle(), control.GetAddressOf())) || !control ||
        FAILED(control.As(&web_)))
        return;
    // Script errors and certificate questions of the advertisement page stay unasked.
    web_->put_Silent(VARIANT_TRUE);
    // The message loop hands the page its keys: the atl.dll host gets none of them itself.
    if (SUCCEEDED(web_.As(&active_)) && active_) AddKeyboardTarget(Handle(), active_.Get());
    // The sink starts with the one reference this view holds.
    events_.Attach(new BrowserEvents(
        [this](IDispatch* object, const std::string& url) {
            const forms::CompletedNavigation done = ReadCompletedNavigation(object, url);
            browser_.RaiseNavigateComplete2(done, url);
        },
        context.openExternally));
    Microsoft::WRL::ComPtr<IConnectionPointContainer> container;
    if (SUCCEEDED(web_.As(&container)) &&
        SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point_.GetAddressOf())) &&
        point_)
        point_->Advise(events_.Get(), &cookie_);
}

WebBrowserView::~WebBrowserView() {
    if (active_) RemoveKeyboardTarget(Handle());
    if (point_ && cookie_) point_->Unadvise(cookie_);
}

void WebBrowserView::UpdateOwn(forms::Change change) {
    if (change != forms::Change::Navigate || !web_) return;
    const UniqueBstr url(
        SysAllocString(platform::WideFromUtf8(browser_.LocationRequested()).c_str()));
    VARIANT empty;
    VariantInit(&empty);
    web_->Navigate(url.get(), &empty, &empty, &empty, &empty);
}

}  // namespace vb::win32view
