#pragma once

#include <windows.h>
// Needs windows.h first.
#include <oleidl.h>

#include "platform/message_box.h"

// The message loop of the program and the pump that lets pending messages run in the middle
// of a handler. Both route keyboard messages through IsDialogMessage for the main window,
// which moves the focus with Tab and Shift+Tab.
namespace vb::win32view {

// The window whose controls Tab moves between (nullptr: none).
void SetDialogWindow(HWND window);

// The in-place object of a browser control hosted in `host`: it gets the first look at the
// keyboard messages aimed at the host or any window inside it (the browser's own), as a
// control container must give it, so that Tab, the arrows and the page's own keys act in the
// page. What it takes (S_OK) goes no further. The list holds a reference to the object
// until the target is removed.
void AddKeyboardTarget(HWND host, IOleInPlaceActiveObject* object);
void RemoveKeyboardTarget(HWND host);

// Translates and dispatches one message.
void DispatchOne(MSG& msg);

// Lets the system see that the thread is alive during a long stretch that must not run
// events (the write-out's page loop): at most four times a second, looks at the message
// queue without taking anything from it (PeekMessageW, PM_NOREMOVE). Windows takes a window
// whose thread has not looked at its queue for 5 s as hung and ghosts it ("応答なし").
// Messages other threads send are answered then (a close among them is held by the busy
// form like any other); no input, posted message or timer runs.
void ShowAlive();

// Runs until WM_QUIT; returns its exit code.
int RunMessageLoop();

class Win32EventPump : public platform::EventPump {
  public:
    // Runs every pending message, then returns. A WM_QUIT met here is posted again, so that
    // the main loop still ends the program.
    void ProcessEvents() override;
};

}  // namespace vb::win32view
