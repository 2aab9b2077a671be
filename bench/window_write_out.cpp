#include "window_write_out.h"

#include <QApplication>
#include <cstdlib>

#include "bench_services.h"
#include "platform/desktop_shell.h"
#include "qt/event_pump.h"
#include "qt/form_window.h"
#include "qt/process_setup.h"
#include "qt/screen_binding.h"
#include "ui/frm_vornack.h"

namespace vb::bench {

WriteOutOutcome RunInWindow(const Corpus& corpus, std::uint32_t seed) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    qtview::PrepareProcess();
    static int argc = 1;
    static char name[] = "vb_bench_write_out";
    static char* argv[] = {name, nullptr};
    // As in the program's main, but the objects are never destroyed: the child process
    // ends right after the measurement.
    auto* app = new QApplication(argc, argv);
    qtview::LoadJapaneseTranslations(*app);
    new qtview::ScreenBinding;
    auto* boxes = new YesMessageBoxes;
    auto* events = new qtview::QtEventPump;
    auto* shell = new platform::SystemDesktopShell;
    auto* form = new ui::frmVornack(
        {.boxes = *boxes, .events = *events, .shell = *shell, .options = {.pickSeed = [seed] {
                                                                  return seed;
                                                              }}});
    auto* window = new qtview::FormWindow(*form);
    window->ShowForm();
    form->Form_Load();
    QCoreApplication::processEvents();

    return TimeWriteOut(*form, *boxes, corpus, seed, [] { QCoreApplication::processEvents(); });
}

}  // namespace vb::bench
