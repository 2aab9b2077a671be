// VornackBuilder for Windows: one window, frmVornack, drawn by the Win32 view.
#include <windows.h>
// After windows.h.
#include <ole2.h>
#include <shellapi.h>

#include <csignal>
#include <string>
#include <vector>

#include "cli/headless_write_out.h"
#include "cli/run_termination.h"
#include "platform/desktop_shell.h"
#include "platform/wide_text.h"
#include "ui/frm_vornack.h"
#include "win32/event_pump.h"
#include "win32/failure_report.h"
#include "win32/form_window.h"
#include "win32/message_box_service.h"
#include "win32/screen_binding.h"

namespace {

// The arguments after the program's name, in UTF-8.
std::vector<std::string> Arguments() {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide && i < count; ++i) args.push_back(vb::platform::Utf8FromWide(wide[i]));
    LocalFree(wide);
    return args;
}

// A GUI program gets no console of its own. Started from a command prompt (or by
// VornackBuilder.com, which waits for it), it writes into the console of the program that
// started it; a redirection it was given stays where it points. Under Task Scheduler there
// is none, and no window ever shows: the text is dropped.
void UseParentConsole() {
    const DWORD ids[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    HANDLE given[3];
    for (int i = 0; i < 3; ++i) given[i] = GetStdHandle(ids[i]);
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    for (int i = 1; i < 3; ++i) {
        if (given[i] != nullptr && given[i] != INVALID_HANDLE_VALUE) {
            SetStdHandle(ids[i], given[i]);
            continue;
        }
        const HANDLE console =
            CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (console != INVALID_HANDLE_VALUE) SetStdHandle(ids[i], console);
    }
}

// Ctrl+C, Ctrl+Break and the console's end, on the system's thread for console events: the
// run's last line is written first (outcome=terminated, as on Linux), then the process ends
// with 128 + the signal's number; a publish is asked to stop after its steps under way
// instead, and ends by itself. During a publish the C runtime's SIGINT handler, installed
// later, sees a Ctrl+C first and does the same.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    const int status = vb::cli::RecordTermination(
        event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? SIGINT : SIGTERM);
    // As _exit on Linux: no other thread's locks or destructors can hold the end up.
    if (status >= 0) TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
    return TRUE;
}

int RunCommandLine(const std::vector<std::string>& args) {
    UseParentConsole();
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
    // No box of the system's own either (a drive that is not ready): nobody may be there to
    // answer it.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    return vb::cli::RunCommandLine(args, true);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // The program's own options ask for the command line: no window is made. Other
    // arguments (a file dropped on the program, "Open with") open the window, as none do.
    if (const auto args = Arguments(); vb::cli::IsCommandLineRun(args, true))
        return RunCommandLine(args);

    // The browser control and the shell's hand-offs need COM on this (the window's) thread.
    const HRESULT com = OleInitialize(nullptr);

    vb::win32view::ScreenBinding screen;
    vb::win32view::Win32MessageBoxService boxes;
    vb::win32view::Win32EventPump events;
    vb::platform::SystemDesktopShell shell;

    int code = 0;
    {
        vb::ui::frmVornack form({boxes, events, shell});
        vb::win32view::FormWindow window(form);
        window.QuitWhenClosed();
        // New windows the user asks for in the advertisement panel open in the user's browser.
        window.OpenExternally = [&shell](const std::string& url) { shell.OpenAddress(url); };
        boxes.SetOwner(window.Handle());
        vb::win32view::SetDialogWindow(window.Handle());

        // The hidden window knows its frame: the start-up sequence centres it and sets its
        // caption first, and it is shown once, in its place. A close held during the start-up
        // was honoured at its end (the window is gone, WM_QUIT is posted).
        form.Load();
        if (!form.IsUnloaded()) window.ShowForm();
        // Closing by the close box, 終了, WM_CLOSE from another program (taskkill) or the
        // session's end unloads the form and ends this loop.
        code = vb::win32view::RunMessageLoop();
        vb::win32view::SetDialogWindow(nullptr);
    }
    if (SUCCEEDED(com)) OleUninitialize();
    return code;
}
