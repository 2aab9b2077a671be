// VornackBuilder: one window, frmVornack, drawn by the Qt view.
#include <fcntl.h>

#include <QApplication>
#include <cerrno>
#include <csignal>
#include <string>
#include <vector>

#include "app/termination_signals.h"
#include "cli/headless_write_out.h"
#include "cli/run_termination.h"
#include "platform/app_title.h"
#include "platform/desktop_shell.h"
#include "qt/event_pump.h"
#include "qt/failure_report.h"
#include "qt/form_window.h"
#include "qt/message_box_service.h"
#include "qt/process_setup.h"
#include "qt/screen_binding.h"
#include "ui/frm_vornack.h"

namespace {

// A run with the program's own options is the command line's: no display, no window, no
// browser is needed or started (a scheduled run on a machine without a desktop).
int RunCommandLine(const std::vector<std::string>& args) {
    // A reader of the output that went away (a pipe into head) must not end the write-out
    // half-way: the text is dropped instead.
    std::signal(SIGPIPE, SIG_IGN);
    // A run ended by a signal (a timeout wrapper, systemd, a shutdown, Ctrl+C) writes its
    // last log line first.
    vb::app::EndOnTerminationSignals(vb::cli::RecordTermination);
    return vb::cli::RunCommandLine(args, false);
}

}  // namespace

int main(int argc, char** argv) {
    // A standard stream started closed (">&-" in a crontab line) gets /dev/null: the next
    // file opened, the --log file, would take its number and get every line twice.
    for (int fd = 0; fd <= 2; ++fd)
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF)
            ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    // Other arguments (Qt's own options, a file handed over by the desktop) go to the window.
    if (const std::vector<std::string> args(argv + 1, argv + argc);
        vb::cli::IsCommandLineRun(args, false))
        return RunCommandLine(args);
    // Before the QApplication exists: among other things, X rather than Wayland where the
    // desktop offers both.
    vb::qtview::PrepareProcess();
    QApplication app(argc, argv);
    QApplication::setApplicationName(vb::platform::kProgramName);
    vb::qtview::LoadJapaneseTranslations(app);

    vb::qtview::ScreenBinding screen;
    vb::qtview::QtMessageBoxService boxes;
    vb::qtview::QtEventPump events;
    vb::platform::SystemDesktopShell shell;

    vb::ui::frmVornack form({boxes, events, shell});
    vb::qtview::FormWindow window(form);
    // New windows the user asks for in the advertisement panel open in the user's browser.
    window.OpenExternally = [&shell](const std::string& url) { shell.OpenAddress(url); };
    boxes.SetParent(&window);

    // Under X11 the frame's size is known only once the window is mapped (Qt reports no
    // frame margins before), so the start-up sequence, which centres the window, runs after
    // showing it.
    window.ShowForm();
    form.Load();
    // A close that came while the window loaded was honoured at the end of Form_Load. The
    // event loop has not run yet, so its end would never be asked for: end here.
    if (form.IsUnloaded()) return 0;

    vb::app::RouteTerminationSignals(&window, [&window] { window.close(); });
    return app.exec();
}
