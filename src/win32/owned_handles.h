#pragma once

#include <windows.h>
// After windows.h.
#include <oleauto.h>

#include <memory>
#include <type_traits>

// Owners of the system's handles: each lets its handle go when it goes, on every way out of
// a scope or an object, so that no early return or exception leaks one. (COM references are
// held in Microsoft::WRL::ComPtr, <wrl/client.h>.)
namespace vb::win32view {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
// A pen, brush or font the program made.
template <class Handle>
using UniqueGdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;

struct WindowDeleter {
    // A child goes with its parent: the system may have destroyed the window already.
    void operator()(HWND window) const {
        if (IsWindow(window)) DestroyWindow(window);
    }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

struct MenuDeleter {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
// A menu not (yet) held by a window or another menu.
using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;

struct BstrDeleter {
    void operator()(BSTR text) const { SysFreeString(text); }
};
using UniqueBstr = std::unique_ptr<OLECHAR, BstrDeleter>;

// A window's device context (the screen's for nullptr), released when it goes; an object
// selected into it through Select is put back first.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (!dc_) return;
        if (replaced_) SelectObject(dc_, replaced_);
        ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC Get() const { return dc_; }
    void Select(HGDIOBJ object) {
        HGDIOBJ old = SelectObject(dc_, object);
        if (!replaced_) replaced_ = old;
    }

  private:
    HWND window_;
    HDC dc_;
    HGDIOBJ replaced_ = nullptr;
};

}  // namespace vb::win32view
