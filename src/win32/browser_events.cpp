#include "win32/browser_events.h"

#include <exdisp.h>
#include <exdispid.h>
#include <mshtml.h>
#include <wrl/client.h>

#include <cctype>
#include <string_view>

#include "platform/wide_text.h"
#include "win32/failure_report.h"
#include "win32/owned_handles.h"

namespace vb::win32view {

namespace {

// New-window flags: the user started the request (a click), or asked for it outright.
constexpr LONG kUserInited = 0x2;
constexpr LONG kUserRequested = 0x80;

// Descriptions of a title that cannot be read; nobody shows them, the program only learns
// that the read failed.
const char* const kNoBrowser = "ブラウザではありません。";
const char* const kNoTitle = "タイトルを読めません。";

// A string argument, passed as a BSTR or as a reference to a variant holding one.
std::string StringOf(const VARIANT& v) {
    const VARIANT* at = &v;
    if (V_VT(at) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(at)) at = V_VARIANTREF(at);
    if (V_VT(at) == VT_BSTR && V_BSTR(at)) return platform::Utf8FromWide(V_BSTR(at));
    if (V_VT(at) == (VT_BSTR | VT_BYREF) && V_BSTRREF(at) && *V_BSTRREF(at))
        return platform::Utf8FromWide(*V_BSTRREF(at));
    return {};
}

LONG LongOf(const VARIANT& v) {
    if (V_VT(&v) == VT_I4 || V_VT(&v) == VT_UI4) return V_I4(&v);
    if (V_VT(&v) == (VT_I4 | VT_BYREF) && V_I4REF(&v)) return *V_I4REF(&v);
    return 0;
}

}  // namespace

BrowserEvents::BrowserEvents(Completed completed, UserNewWindow newWindow)
    : completed_(std::move(completed)), newWindow_(std::move(newWindow)) {}

HRESULT BrowserEvents::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == DIID_DWebBrowserEvents2) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG BrowserEvents::AddRef() { return ++references_; }

ULONG BrowserEvents::Release() {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT BrowserEvents::GetTypeInfoCount(UINT* count) {
    if (count) *count = 0;
    return S_OK;
}

HRESULT BrowserEvents::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

HRESULT BrowserEvents::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT BrowserEvents::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                              EXCEPINFO*, UINT*) {
    if (!params) return S_OK;
    // Arguments come last first.
    if (id == DISPID_NAVIGATECOMPLETE2 && params->cArgs >= 2) NavigateComplete2(*params);
    if (id == DISPID_NEWWINDOW3 && params->cArgs >= 5) NewWindow3(*params);
    return S_OK;
}

void BrowserEvents::NavigateComplete2(const DISPPARAMS& params) {
    const VARIANT& browser = params.rgvarg[1];
    IDispatch* object = V_VT(&browser) == VT_DISPATCH ? V_DISPATCH(&browser) : nullptr;
    const std::string url = StringOf(params.rgvarg[0]);
    if (completed_) RunGuarded([&] { completed_(object, url); });
}

namespace {

// Only web pages go to the user's browser: a file:, javascript: or other address a page
// names would be opened by whatever program the system ties to it.
bool IsWebAddress(const std::string& url) {
    auto startsWith = [&url](std::string_view scheme) {
        if (url.size() < scheme.size()) return false;
        for (std::size_t i = 0; i < scheme.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(url[i])) != scheme[i]) return false;
        return true;
    };
    return startsWith("http://") || startsWith("https://");
}

}  // namespace

void BrowserEvents::NewWindow3(const DISPPARAMS& params) {
    const VARIANT& cancel = params.rgvarg[3];
    if (V_VT(&cancel) == (VT_BOOL | VT_BYREF) && V_BOOLREF(&cancel))
        *V_BOOLREF(&cancel) = VARIANT_TRUE;
    const LONG flags = LongOf(params.rgvarg[2]);
    if (!(flags & (kUserInited | kUserRequested))) return;
    const std::string url = StringOf(params.rgvarg[0]);
    if (newWindow_ && IsWebAddress(url)) RunGuarded([&] { newWindow_(url); });
}

forms::CompletedNavigation ReadCompletedNavigation(IDispatch* browser, const std::string& url) {
    using forms::CompletedNavigation;
    Microsoft::WRL::ComPtr<IWebBrowser2> web;
    if (!browser ||
        FAILED(browser->QueryInterface(IID_IWebBrowser2,
                                       reinterpret_cast<void**>(web.GetAddressOf()))) ||
        !web)
        return CompletedNavigation::Unreadable(url, kNoBrowser);
    Microsoft::WRL::ComPtr<IDispatch> document;
    Microsoft::WRL::ComPtr<IHTMLDocument2> html;
    if (FAILED(web->get_Document(document.GetAddressOf())) || !document ||
        FAILED(document.As(&html)) || !html)
        return CompletedNavigation::Unreadable(url, forms::kNoDocument);
    BSTR read = nullptr;
    if (FAILED(html->get_title(&read))) return CompletedNavigation::Unreadable(url, kNoTitle);
    const UniqueBstr title(read);
    const std::string text = title ? platform::Utf8FromWide(title.get()) : std::string();
    return CompletedNavigation::WithTitle(url, text);
}

}  // namespace vb::win32view
