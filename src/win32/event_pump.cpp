#include "win32/event_pump.h"

namespace vb::win32view {

namespace {
HWND g_dialogWindow = nullptr;
}

void SetDialogWindow(HWND window) { g_dialogWindow = window; }

void DispatchOne(MSG& msg) {
    if (g_dialogWindow && IsWindow(g_dialogWindow) && IsDialogMessageW(g_dialogWindow, &msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

int RunMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchOne(msg);
    return static_cast<int>(msg.wParam);
}

void Win32EventPump::ProcessEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        DispatchOne(msg);
    }
}

}  // namespace vb::win32view
