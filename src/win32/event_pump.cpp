#include "win32/event_pump.h"

#include <wrl/client.h>

#include <vector>

#include "forms/pacing.h"

namespace vb::win32view {

namespace {

HWND g_dialogWindow = nullptr;

struct KeyboardTarget {
    HWND host;
    Microsoft::WRL::ComPtr<IOleInPlaceActiveObject> object;
};
std::vector<KeyboardTarget> g_keyboardTargets;

}  // namespace

void SetDialogWindow(HWND window) { g_dialogWindow = window; }

void AddKeyboardTarget(HWND host, IOleInPlaceActiveObject* object) {
    g_keyboardTargets.push_back({host, object});
}

void RemoveKeyboardTarget(HWND host) {
    std::erase_if(g_keyboardTargets, [host](const KeyboardTarget& t) { return t.host == host; });
}

namespace {

bool IsEscapeKey(const MSG& msg) {
    switch (msg.message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
            return msg.wParam == VK_ESCAPE;
        default:
            return false;
    }
}

// Whether the window is a combo box whose list is dropped down, or lies inside one.
bool InDroppedList(HWND window) {
    for (HWND w = window; w && w != g_dialogWindow; w = GetParent(w)) {
        wchar_t name[16] = {};
        GetClassNameW(w, name, 16);
        if (lstrcmpiW(name, L"ComboBox") == 0) return SendMessageW(w, CB_GETDROPPEDSTATE, 0, 0);
    }
    return false;
}

// Whether a browser's in-place object took a keyboard message aimed at its windows
// (IOleInPlaceActiveObject::TranslateAccelerator answered S_OK). Otherwise the message goes
// on as any other, so that Tab out of the page's last link reaches the dialog manager.
bool TakenByBrowser(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST || !msg.hwnd) return false;
    for (const KeyboardTarget& target : g_keyboardTargets) {
        if (msg.hwnd != target.host && !IsChild(target.host, msg.hwnd)) continue;
        // The page's key may close the view, which drops the target and its reference: the
        // call holds one of its own.
        const Microsoft::WRL::ComPtr<IOleInPlaceActiveObject> object = target.object;
        return object->TranslateAccelerator(&msg) == S_OK;
    }
    return false;
}

}  // namespace

void DispatchOne(MSG& msg) {
    if (TakenByBrowser(msg)) return;
    // Esc does nothing in the main window, as on the Linux edition: through IsDialogMessage
    // it would be IDCANCEL, and a multi-line EDIT in a dialog-managed window answers it with
    // WM_CLOSE to its parent. Only a dropped-down list takes it (to fold up), outside the
    // dialog manager.
    if (IsEscapeKey(msg) && g_dialogWindow && msg.hwnd &&
        (msg.hwnd == g_dialogWindow || IsChild(g_dialogWindow, msg.hwnd))) {
        if (!InDroppedList(msg.hwnd)) return;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        return;
    }
    if (g_dialogWindow && IsWindow(g_dialogWindow) && IsDialogMessageW(g_dialogWindow, &msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void ShowAlive() {
    static ULONGLONG last = 0;
    const ULONGLONG now = GetTickCount64();
    if (now - last < static_cast<ULONGLONG>(forms::kAliveLookInterval.count())) return;
    last = now;
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
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
