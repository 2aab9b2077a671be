// The browser's notifications as the WebBrowser control delivers them, from a fake browser
// object.
#include "win32/browser_events.h"

#include <exdispid.h>
#include <gtest/gtest.h>
#include <windows.h>

#include "forms/errors.h"

namespace vb::win32view {
namespace {

// A browser object that is no WebBrowser: every interface but IDispatch is refused.
class FakeDispatch : public IDispatch {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }
};

struct Recorded {
    IDispatch* browser = nullptr;
    std::string url;
    std::vector<std::string> opened;
};

BrowserEvents* MakeSink(Recorded& r) {
    return new BrowserEvents(
        [&r](IDispatch* browser, const std::string& url) {
            r.browser = browser;
            r.url = url;
        },
        [&r](const std::string& url) { r.opened.push_back(url); });
}

TEST(BrowserEventsTest, NavigateCompleteHandsOnTheNotifyingObjectAndAddress) {
    FakeDispatch frame;
    Recorded r;
    BrowserEvents* sink = MakeSink(r);
    VARIANT url;
    V_VT(&url) = VT_BSTR;
    V_BSTR(&url) = SysAllocString(L"http://127.0.0.1/ページ");
    VARIANT args[2];
    V_VT(&args[0]) = VT_VARIANT | VT_BYREF;  // arguments come last first
    V_VARIANTREF(&args[0]) = &url;
    V_VT(&args[1]) = VT_DISPATCH;
    V_DISPATCH(&args[1]) = &frame;
    DISPPARAMS params{args, nullptr, 2, 0};
    sink->Invoke(DISPID_NAVIGATECOMPLETE2, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr,
                 nullptr);
    EXPECT_EQ(r.browser, &frame);
    EXPECT_EQ(r.url, "http://127.0.0.1/ページ");
    SysFreeString(V_BSTR(&url));
    sink->Release();

    // An object that is no browser has no title to read: the title test skips it.
    const auto done = ReadCompletedNavigation(&frame, r.url);
    EXPECT_EQ(done.LocationURL(), r.url);
    EXPECT_THROW(done.DocumentTitle(), forms::DocumentUnavailable);
}

// NewWindow3's arguments, last first: address, referring address, flags, cancel, new object.
void NewWindow(BrowserEvents& sink, LONG flags, VARIANT_BOOL& cancel,
               const wchar_t* address = L"http://127.0.0.1/new") {
    BSTR url = SysAllocString(address);
    VARIANT args[5];
    V_VT(&args[0]) = VT_BSTR;
    V_BSTR(&args[0]) = url;
    V_VT(&args[1]) = VT_BSTR;
    V_BSTR(&args[1]) = nullptr;
    V_VT(&args[2]) = VT_I4;
    V_I4(&args[2]) = flags;
    V_VT(&args[3]) = VT_BOOL | VT_BYREF;
    V_BOOLREF(&args[3]) = &cancel;
    V_VT(&args[4]) = VT_EMPTY;
    DISPPARAMS params{args, nullptr, 5, 0};
    sink.Invoke(DISPID_NEWWINDOW3, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr,
                nullptr);
    SysFreeString(url);
}

TEST(BrowserEventsTest, NewWindowsTheUserStartsOpenOutsidePopUpsOpenNothing) {
    Recorded r;
    BrowserEvents* sink = MakeSink(r);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    NewWindow(*sink, 0x4 /* first pop-up, page-made */, cancel);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    EXPECT_TRUE(r.opened.empty());
    cancel = VARIANT_FALSE;
    NewWindow(*sink, 0x2 /* user-initiated */, cancel);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    EXPECT_EQ(r.opened, std::vector<std::string>{"http://127.0.0.1/new"});
    // A click on a link to anything but a web page opens nothing either.
    NewWindow(*sink, 0x2, cancel, L"file:///C:/windows/system32/calc.exe");
    EXPECT_EQ(r.opened.size(), 1u);
    sink->Release();
}

}  // namespace
}  // namespace vb::win32view
