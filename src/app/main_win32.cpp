// VornackBuilder for Windows: one window, frmVornack, drawn by the Win32 view.
#include <windows.h>
// After windows.h.
#include <ole2.h>

#include "platform/desktop_shell.h"
#include "ui/frm_vornack.h"
#include "win32/event_pump.h"
#include "win32/failure_report.h"
#include "win32/form_window.h"
#include "win32/message_box_service.h"
#include "win32/screen_binding.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
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
