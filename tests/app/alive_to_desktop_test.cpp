// The real window on an X display answers a window manager's pings during a write-out, and
// nothing else of it runs meanwhile.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <map>
#include <thread>

#include "fakes.h"
#include "platform/codec.h"
#include "platform/program_folder.h"
#include "qt/form_window.h"
#include "qt/process_setup.h"
#include "temp_dir.h"
#include "ui/frm_vornack.h"

namespace vb::test {
namespace {

namespace fs = std::filesystem;

// Counts the key presses, timer ticks and posted calls Qt dispatches.
struct DispatchCounter : QObject {
    std::map<QEvent::Type, int> seen;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::KeyPress || e->type() == QEvent::Timer ||
            e->type() == QEvent::MetaCall)
            ++seen[e->type()];
        return false;
    }
};

// A window manager pinging the window four times a second on an X connection of its own;
// the answers come back to the root window.
int PingWhile(const std::atomic<bool>& running, xcb_window_t window) {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_atom_t atoms[2];
    for (int i = 0; const char* name : {"WM_PROTOCOLS", "_NET_WM_PING"}) {
        auto* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
        atoms[i++] = r->atom;
        free(r);
    }
    int answeredInTime = 0;
    for (std::uint32_t time = 1; running; ++time) {
        xcb_client_message_event_t ping{XCB_CLIENT_MESSAGE, 32, 0, window, atoms[0]};
        ping.data.data32[0] = atoms[1], ping.data.data32[1] = time, ping.data.data32[2] = window;
        xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<char*>(&ping));
        xcb_flush(c);
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
            const auto* m = reinterpret_cast<xcb_client_message_event_t*>(e);
            answeredInTime += (e->response_type & ~0x80) == XCB_CLIENT_MESSAGE &&
                              m->window == root && m->data.data32[1] == time;
            free(e);
        }
    }
    xcb_disconnect(c);
    return answeredInTime;
}

// A write-out with a fixed seed, once left alone, once pinged with a due timer, a posted
// call and typed keys waiting: the pings are answered, the rest waits for the run's end.
TEST(AliveToDesktopTest, PingsDuringAWriteOutAreAnsweredAloneAndChangeNoByte) {
    constexpr std::uint32_t kSeed = 20240601;
    TempDir dir;
    platform::SetProgramFolderForTesting(dir.str(), "VornackBuilder");
    fs::create_directory(dir / "local");
    fs::copy_file(VB_SOURCE_DIR "/resources/template.html", dir / "template.html");
    WriteBytes(dir / "VornackBuilder.ini",
               platform::cp932::Encode("[Setting]\r\nServer1=host u p\r\nTitle1=題名\r\nSrcPath=" +
                                       std::string(VB_SOURCE_DIR) +
                                       "/resources/samples\r\nMakePageNum=10000\r\n"
                                       "PagePerSrcNum=10\r\nPrevServer=0\r\nPrevTitle=0\r\n"));
    FakeMessageBox boxes;  // answers はい to the confirmation
    CountingEventPump events;
    FakeDesktopShell shell;
    ui::frmVornack form(
        {.boxes = boxes, .events = events, .shell = shell, .pickSeed = [] { return kSeed; }});
    qtview::FormWindow window(form);
    window.ShowForm();
    form.Load();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const auto writeOut = [&] {
        form.Fso().SeedTempNames(kSeed);  // the page names
        form.mnuGo.RaiseClick();
    };
    const auto pages = [&] {
        std::map<std::string, std::string> bytes;
        for (const auto& e : fs::directory_iterator(dir / "local/host"))
            bytes[e.path().filename().string()] = ReadBytes(e.path().string());
        return bytes;
    };
    writeOut();
    const auto alone = pages();
    ASSERT_EQ(alone.size(), 10001u);

    QTimer timer;
    timer.start(0);
    QMetaObject::invokeMethod(
        &window, [] {}, Qt::QueuedConnection);
    ASSERT_EQ(QProcess::execute("xdotool", {"key", "a", "b", "c"}), 0);
    DispatchCounter counter;
    qApp->installEventFilter(&counter);
    std::atomic<bool> running = true;
    int answered = 0;
    std::thread manager([&] { answered = PingWhile(running, window.winId()); });
    writeOut();
    const auto dispatchedDuringRun = counter.seen;
    running = false;
    manager.join();
    EXPECT_GT(answered, 0);
    EXPECT_TRUE(dispatchedDuringRun.empty()) << "event type " << dispatchedDuringRun.begin()->first;
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.seen.size() == 3; }));  // after the run
    EXPECT_TRUE(pages() == alone);
    platform::SetProgramFolderForTesting("");
}

}  // namespace
}  // namespace vb::test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "xcb");
    vb::qtview::PrepareProcess();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
