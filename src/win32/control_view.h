#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "forms/control.h"
#include "win32/owned_handles.h"

namespace vb::win32view {

// Keeps one control of the form layer and its child window in step. The properties every
// control has (visibility, enabled state, geometry, pointer) are handled here; each kind of
// control adds its own. Controls without a window of their own (lines, shapes) are painted
// on their container's surface by the form window. The control must outlive its view.
class ControlView {
  public:
    ControlView(forms::Control& control, HWND window, HWND surface);
    virtual ~ControlView() = default;
    ControlView(const ControlView&) = delete;
    ControlView& operator=(const ControlView&) = delete;

    forms::Control& Control() const { return control_; }
    // nullptr for controls that have no window (timers, lines, shapes).
    HWND Handle() const { return window_.get(); }

    // Brings the window up to date with every property of the control.
    void Refresh();
    // Brings the window up to date after one change of the control.
    void Update(forms::Change change);

    // Painted on its container's surface (lines, shapes).
    virtual bool IsGraphical() const { return false; }
    virtual void Paint(HDC) {}
    // Takes part in the tab order (fields the user can focus).
    virtual bool TakesFocus() const { return false; }
    // A WM_COMMAND notification from the window; returns true when it says the window just
    // took the focus.
    virtual bool OnCommand(WORD) { return false; }
    // WM_CTLCOLOR…: sets the device context's colours and gives the background brush, or
    // nullptr for the system's default.
    virtual HBRUSH OnCtlColor(HDC) { return nullptr; }
    // The pointer over this control, nullptr for the default.
    HCURSOR Cursor() const;

  protected:
    virtual void RefreshOwn() {}
    virtual void UpdateOwn(forms::Change) {}
    virtual void ApplyGeometry();
    // Repaints the part of the container's surface a graphical control covers.
    void InvalidateSurface() const;
    HWND Surface() const { return surface_; }

  private:
    forms::Control& control_;
    UniqueWindow window_;
    HWND surface_;
};

// What the form window hands to the views it makes.
struct ViewContext {
    HWND parent;
    HFONT font;
    // Opens an address in the user's own browser (new windows the user asks for in the
    // embedded browser); may be empty.
    std::function<void(const std::string& url)> openExternally;
};

// Creates a child window of the given class for a control, with the window's font.
HWND CreateChild(const wchar_t* className, DWORD style, DWORD exStyle, const ViewContext& context,
                 const wchar_t* windowName = L"");

// The view for a control; every kind of control has one.
std::unique_ptr<ControlView> MakeControlView(forms::Control& control, const ViewContext& context);

}  // namespace vb::win32view
