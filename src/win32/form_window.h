#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/form.h"
#include "forms/view_registry.h"
#include "forms/window_rules.h"
#include "win32/control_view.h"
#include "win32/menu_builder.h"
#include "win32/owned_handles.h"

namespace vb::win32view {

// Draws a form of the form layer as a top-level Win32 window: the form's menus in the menu
// bar, a client area of the form's fixed size (AdjustWindowRectEx) holding every control at
// its twips position converted at the system's twips per pixel, the caption, the position
// and the top-most flag (SetWindowPos). Model and windows stay in step both ways.
//
// Closing the window (close box, system menu, WM_CLOSE from another program), unloading the
// form from code and the end of the session all go one road: the form is unloaded, which
// runs its QueryUnload exactly once, and the window goes. At the session's end that happens
// before WM_ENDSESSION returns. A focus loss is reported to a control only when the focus
// moves to another control of this window. The form and its controls must outlive the
// window.
class FormWindow {
  public:
    explicit FormWindow(forms::Form& form);
    ~FormWindow();
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    forms::Form& Form() const { return form_; }
    HWND Handle() const { return window_.get(); }
    // The window drawing a control, nullptr when it has none (timers, lines, shapes).
    HWND HandleFor(const forms::Control& control) const;
    ControlView* ViewFor(const forms::Control& control) const;
    // The WM_COMMAND id of a menu item.
    UINT CommandIdFor(const forms::Menu& menu) const;

    // Opens an address in the user's own browser: new windows the user asks for in an
    // embedded browser. Set before the first browser control is made.
    std::function<void(const std::string& url)> OpenExternally;
    // Ends the message loop when the window goes (the program's main window).
    void QuitWhenClosed() { quitWhenClosed_ = true; }

    // Shows the window at the form's position, gives the focus to the first control in the
    // tab order and reports the real frame back to the form. The frame is reported once
    // already when the window is made, so the form can place itself (Form_Load) while the
    // window is still hidden and is first shown in its place.
    void ShowForm();

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    ControlView& AddView(forms::Control& control);
    void PlaceInContainer(ControlView& view);
    void Restack();
    void OnFormChange(forms::Change change);
    void OnCommand(WPARAM wParam, LPARAM lParam);
    void Paint();
    bool SetCursorFor(HWND under);
    void ApplyClientSize();
    void ApplyPosition();
    void ApplyTopMost();
    void ReportFrame();
    bool OnActivate(WPARAM wParam);
    void Close();
    ControlView* ViewOfWindow(HWND window) const;

    forms::Form& form_;
    // The font goes after the window that hands it to its children.
    UniqueGdiObject<HFONT> font_;
    UniqueWindow window_;
    std::unique_ptr<MenuBar> menuBar_;
    forms::ViewRegistry<ControlView> views_;
    forms::WindowRules rules_;
    HWND focusBeforeDeactivation_ = nullptr;
    bool quitWhenClosed_ = false;
};

}  // namespace vb::win32view
