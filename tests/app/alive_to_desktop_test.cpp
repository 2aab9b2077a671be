// The window on a real X display answers a window manager's ping while a stretch without
// events runs (the write-out's page loop), and nothing else of it runs meanwhile.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <thread>

#include "fakes.h"
#include "platform/codec.h"
#include "platform/program_folder.h"
#include "qt/form_window.h"
#include "qt/process_setup.h"
#include "qt/show_alive.h"
#include "temp_dir.h"
#include "ui/frm_vornack.h"

namespace vb::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A window manager's side of _NET_WM_PING, on an X connection of its own: the ping goes to
// the window, the answer comes back to the root window.
class WindowManagerPing {
  public:
    WindowManagerPing() : c_(xcb_connect(nullptr, nullptr)) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
        // As a manager, which redirects the root's substructure, sees answers sent with
        // either mask (Qt's own answer names the root's structure).
        const std::uint32_t mask =
            XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, &mask);
        protocols_ = Atom("WM_PROTOCOLS");
        ping_ = Atom("_NET_WM_PING");
    }
    ~WindowManagerPing() { xcb_disconnect(c_); }

    void Send(xcb_window_t window, std::uint32_t time) {
        xcb_client_message_event_t e{};
        e.response_type = XCB_CLIENT_MESSAGE;
        e.format = 32;
        e.window = window;
        e.type = protocols_;
        e.data.data32[0] = ping_;
        e.data.data32[1] = time;
        e.data.data32[2] = window;
        xcb_send_event(c_, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&e));
        xcb_flush(c_);
    }
    // Whether the answer to the ping of that time has come, without waiting.
    bool Answered(std::uint32_t time) {
        while (xcb_generic_event_t* e = xcb_poll_for_event(c_)) {
            const auto* m = reinterpret_cast<const xcb_client_message_event_t*>(e);
            if ((e->response_type & ~0x80) == XCB_CLIENT_MESSAGE && m->window == root_ &&
                m->data.data32[0] == ping_)
                answered_.insert(m->data.data32[1]);
            std::free(e);
        }
        return answered_.count(time) > 0;
    }

  private:
    xcb_atom_t Atom(const char* name) {
        auto* reply = xcb_intern_atom_reply(
            c_, xcb_intern_atom(c_, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr);
        const xcb_atom_t atom = reply->atom;
        std::free(reply);
        return atom;
    }

    xcb_connection_t* c_;
    xcb_window_t root_;
    xcb_atom_t protocols_, ping_;
    std::set<std::uint32_t> answered_;
};

class KeyCountingWindow : public QWidget {
  public:
    int keys = 0;

  protected:
    void keyPressEvent(QKeyEvent*) override { ++keys; }
};

TEST(AliveToDesktopTest, APingIsAnsweredWhileTypedKeysADueTimerAndPostedCallsWait) {
    KeyCountingWindow window;
    window.resize(200, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    int ticks = 0;
    QTimer timer;
    timer.callOnTimeout([&] { ++ticks; });
    timer.start(0);
    bool posted = false;
    QMetaObject::invokeMethod(
        &window, [&] { posted = true; }, Qt::QueuedConnection);
    // Typed as a user types (XTEST), before the ping: they wait in the queue ahead of it.
    ASSERT_EQ(QProcess::execute("xdotool", {"key", "a", "b", "c"}), 0);
    WindowManagerPing manager;
    manager.Send(window.winId(), 4711);

    // A stretch of a run: no event loop, only what the progress calls.
    const Clock::time_point sent = Clock::now();
    bool answered = false;
    while (!answered && Clock::now() - sent < std::chrono::seconds(1)) {
        qtview::ShowAlive();
        answered = manager.Answered(4711);
    }
    EXPECT_TRUE(answered) << "no answer within a second";
    EXPECT_EQ(window.keys, 0);
    EXPECT_EQ(ticks, 0);
    EXPECT_FALSE(posted);

    // Once the event loop runs, all of it arrives.
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.keys == 3 && ticks > 0 && posted; }, 10000))
        << window.keys << " keys, " << ticks << " ticks";
}

// A write-out in the real window with a fixed pick seed, once left alone and once pinged
// four times a second as a window manager would.
TEST(AliveToDesktopTest, PingsDuringAWriteOutAreAnsweredAndChangeNoByte) {
    constexpr std::uint32_t kSeed = 20240601;
    TempDir dir;
    platform::SetProgramFolderForTesting(dir.str(), "VornackBuilder");
    fs::create_directory(dir / "local");
    fs::copy_file(VB_SOURCE_DIR "/resources/template.html", dir / "template.html");
    std::string settings;
    for (const std::string line :
         {"[Setting]", "Server1=host user pass", "PrevServer=0", "Title1=題名", "PrevTitle=0",
          "SrcPath=" VB_SOURCE_DIR "/resources/samples", "MakePageNum=10000", "PagePerSrcNum=10"})
        settings += line + "\r\n";
    WriteBytes(dir / "VornackBuilder.ini", platform::cp932::Encode(settings));

    FakeMessageBox boxes;  // answers はい to the confirmation
    CountingEventPump events;
    FakeDesktopShell shell;
    ui::frmVornack form(
        {.boxes = boxes, .events = events, .shell = shell, .pickSeed = [] { return kSeed; }});
    qtview::FormWindow window(form);
    window.ShowForm();
    form.Load();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    const auto writeOut = [&] {
        form.Fso().SeedTempNames(kSeed);  // the page names
        form.mnuGo.RaiseClick();
        std::map<std::string, std::string> pages;
        for (const auto& e : fs::directory_iterator(dir / "local/host"))
            pages[e.path().filename().string()] = ReadBytes(e.path().string());
        return pages;
    };
    const auto alone = writeOut();
    ASSERT_EQ(alone.size(), 10001u);

    std::atomic<bool> running = true;
    int sent = 0, answered = 0;
    std::thread manager([&, id = static_cast<xcb_window_t>(window.winId())] {
        WindowManagerPing ping;
        while (running) {
            ping.Send(id, ++sent);
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
            answered += ping.Answered(sent) ? 1 : 0;
        }
    });
    const auto pinged = writeOut();
    running = false;
    manager.join();
    EXPECT_GT(answered, 0) << sent << " pings during the run";
    EXPECT_TRUE(pinged == alone);
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
