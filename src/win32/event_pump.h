#pragma once

#include <windows.h>

#include "platform/message_box.h"

// The message loop of the program and the pump that lets pending messages run in the middle
// of a handler. Both route keyboard messages through IsDialogMessage for the main window,
// which moves the focus with Tab and Shift+Tab.
namespace vb::win32view {

// The window whose controls Tab moves between (nullptr: none).
void SetDialogWindow(HWND window);

// Translates and dispatches one message.
void DispatchOne(MSG& msg);

// Runs until WM_QUIT; returns its exit code.
int RunMessageLoop();

class Win32EventPump : public platform::EventPump {
  public:
    // Runs every pending message, then returns. A WM_QUIT met here is posted again, so that
    // the main loop still ends the program.
    void ProcessEvents() override;
};

}  // namespace vb::win32view
