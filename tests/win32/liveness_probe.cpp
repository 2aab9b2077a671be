// Another process's view of the program's main window, for the real-window test under Wine.
// Asks the window with SendMessageTimeoutW(WM_NULL, SMTO_ABORTIFHUNG, 2000 ms), as the
// system's hung-window check and other programs do, then prints the text of every edit
// field (each asked the same way) on a line of its own, in UTF-8, and the class of the
// window that has the keyboard focus (with "multi-line" for a multi-line edit field).
//   liveness_probe.exe   → "answered" or "hung" on the first line; exit code 0 or 1
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    return out;
}

BOOL CALLBACK PrintField(HWND child, LPARAM) {
    wchar_t name[16] = {};
    GetClassNameW(child, name, 16);
    if (lstrcmpiW(name, L"Edit") != 0) return TRUE;
    wchar_t text[512] = {};
    DWORD_PTR length = 0;
    if (SendMessageTimeoutW(child, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, 2000, &length))
        std::printf("field: %s\n", Utf8(text).c_str());
    return TRUE;
}

}  // namespace

int main() {
    HWND window = FindWindowW(L"VornackBuilderForm", nullptr);
    if (!window) {
        std::printf("no window\n");
        return 2;
    }
    DWORD_PTR result = 0;
    const DWORD start = GetTickCount();
    const bool answered =
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) != 0;
    std::printf("%s %lu ms\n", answered ? "answered" : "hung",
                static_cast<unsigned long>(GetTickCount() - start));
    if (answered) EnumChildWindows(window, PrintField, 0);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui) && gui.hwndFocus) {
        wchar_t name[32] = {};
        GetClassNameW(gui.hwndFocus, name, 32);
        const bool multiLine = (GetWindowLongPtrW(gui.hwndFocus, GWL_STYLE) & ES_MULTILINE) != 0;
        std::printf("focus: %s%s\n", Utf8(name).c_str(),
                    lstrcmpiW(name, L"Edit") == 0 && multiLine ? " multi-line" : "");
    }
    std::fflush(stdout);
    return answered ? 0 : 1;
}
