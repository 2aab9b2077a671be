// VornackBuilder: one window, frmVornack, drawn by the Qt view.
#include <QApplication>

#include "app/termination_signals.h"
#include "platform/desktop_shell.h"
#include "qt/event_pump.h"
#include "qt/failure_report.h"
#include "qt/form_window.h"
#include "qt/message_box_service.h"
#include "qt/process_setup.h"
#include "qt/screen_binding.h"
#include "ui/frm_vornack.h"

int main(int argc, char** argv) {
    // Before the QApplication exists: among other things, X rather than Wayland where the
    // desktop offers both.
    vb::qtview::PrepareProcess();
    QApplication app(argc, argv);
    QApplication::setApplicationName("VornackBuilder");
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
