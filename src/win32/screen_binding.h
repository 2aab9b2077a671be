#pragma once

#include <windows.h>

#include "forms/screen.h"

namespace vb::win32view {

// Twips per pixel at the system's DPI (the program is system-DPI aware): 15 at 96 DPI.
float SystemTwipsPerPixelX();
float SystemTwipsPerPixelY();

// Keeps a form-layer screen object in step with the primary monitor (size, work area,
// twips per pixel) and holds the application-wide pointer the screen object asks for.
class ScreenBinding {
  public:
    explicit ScreenBinding(forms::Screen& screen = forms::GetScreen());
    ~ScreenBinding();
    ScreenBinding(const ScreenBinding&) = delete;
    ScreenBinding& operator=(const ScreenBinding&) = delete;

    // Copies the size and work area now (at start, and on WM_DISPLAYCHANGE and
    // WM_SETTINGCHANGE).
    void Refresh();
    // The application-wide cursor, nullptr when the screen's pointer is the default.
    HCURSOR Cursor() const;

  private:
    forms::Screen& screen_;
};

// The binding the program's windows ask for the application-wide pointer (nullptr: none).
ScreenBinding* CurrentScreenBinding();

}  // namespace vb::win32view
