// Shows the sample form in a real window on the X display, draws the etched line and the
// hand cursor as the program does at start, and saves a screenshot of the window to the
// path given. Exits with 1 when the window or the picture is not what it should be.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QTest>
#include <cstdio>

#include "qt/event_pump.h"
#include "qt/form_window.h"
#include "qt/process_setup.h"
#include "qt/screen_binding.h"
#include "sample_form.h"
#include "winutil/fun_form_position.h"
#include "winutil/fun_giving_hand_cursor.h"
#include "winutil/fun_line_write_3d.h"

namespace {

int Fail(const char* what) {
    std::fprintf(stderr, "sample screenshot: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return Fail("usage: qt_sample_screenshot <png>");
    qputenv("QT_QPA_PLATFORM", "xcb");
    vb::qtview::PrepareProcess();
    QApplication app(argc, argv);
    vb::qtview::LoadJapaneseTranslations(app);
    vb::qtview::ScreenBinding screen;
    vb::qtview::QtEventPump pump;

    vb::test::SampleForm form;
    form.txtSrcPath.SetText("C:\\VornackBuilder\\src");
    form.cboServer.SetListIndex(0);
    form.pbrProcess.SetValue(40);
    form.txtLog.SetText("実行中でありんす。\r\n");
    form.txtLog.AppendText("完了しますた。\r\n");

    vb::qtview::FormWindow window(form);
    window.ShowForm();
    if (!QTest::qWaitForWindowExposed(&window)) return Fail("the window did not appear");
    vb::winutil::SetFormPosition(form, vb::winutil::kPositionCenter);
    vb::winutil::SetMenuLine(form.lnMenu, pump);
    vb::winutil::SetHandCursor("CURSOR_HAND", 2, form.lblUrl);
    QTest::qWait(300);

    const QPoint origin = window.ClientArea()->mapToGlobal(QPoint(0, 0));
    const QRect frame = window.frameGeometry();
    const QImage shot = window.screen()
                            ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
                            .toImage();
    QDir().mkpath(QFileInfo(argv[1]).absolutePath());
    if (!shot.save(argv[1])) return Fail("the screenshot could not be saved");

    // The etched pair under the menu bar, as the screen shows it.
    const QPoint at = origin - frame.topLeft();
    const QPalette palette = QApplication::palette();
    if (shot.pixel(at.x() + 20, at.y()) != palette.color(QPalette::Active, QPalette::Dark).rgb() ||
        shot.pixel(at.x() + 20, at.y() + 1) !=
            palette.color(QPalette::Active, QPalette::Light).rgb())
        return Fail("the etched line is missing from the screen");
    const QRect expected(QPoint(form.Left() / 15, form.Top() / 15), frame.size());
    if (frame.topLeft() != expected.topLeft()) return Fail("the window is not centred");
    std::printf("saved %s (%dx%d)\n", argv[1], shot.width(), shot.height());
    return 0;
}
