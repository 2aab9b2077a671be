// The real window on an X display answers a window manager's ping in the page loop, runs
// nothing else meanwhile, and writes the same pages as without the ping.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <map>

#include "codec/codec.h"
#include "fakes.h"
#include "platform/program_folder.h"
#include "qt/form_window.h"
#include "qt/process_setup.h"
#include "temp_dir.h"
#include "ui/frm_vornack.h"

namespace vb::test {

TEST(AliveToDesktopTest, APingInThePageLoopIsAnsweredWhileATimerAPostedCallAndAKeyWait) {
    TempDir dir;
    platform::SetProgramFolderForTesting(dir.str(), "VornackBuilder");
    std::filesystem::create_directory(dir / "local");
    std::filesystem::copy_file(VB_SOURCE_DIR "/resources/template.html", dir / "template.html");
    WriteBytes(dir / "VornackBuilder.ini",
               codec::cp932::Encode("[Setting]\r\nServer1=h u p\r\nPrevServer=0\r\nTitle1=題\r\n"
                                    "PrevTitle=0\r\nMakePageNum=10000\r\nPagePerSrcNum=10\r\n"
                                    "SrcPath=" VB_SOURCE_DIR "/resources/samples\r\n"));
    FakeMessageBox boxes;  // はい to the confirmation
    CountingEventPump events;
    FakeDesktopShell shell;
    ui::frmVornack form(
        {.boxes = boxes, .events = events, .shell = shell, .options = {.pickSeed = [] {
                                                               return 7u;
                                                           }}});
    qtview::FormWindow window(form);
    window.ShowForm();
    form.Load();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const auto pages = [&] {
        form.Fso().SeedTempNames(7);  // the names, as the window's seed fixes the picks
        form.mnuGo.RaiseClick();
        std::map<std::string, std::string> bytes;
        for (const auto& e : std::filesystem::directory_iterator(dir / "local/h"))
            bytes[e.path().filename().string()] = ReadBytes(e.path().string());
        return bytes;
    };
    const auto unpinged = pages();
    ASSERT_EQ(unpinged.size(), 10001u);

    xcb_connection_t* c = xcb_connect(nullptr, nullptr);  // the window manager's
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, xcb_setup_roots_iterator(xcb_get_setup(c)).data->root,
                                 XCB_CW_EVENT_MASK, &mask);  // the answers come to the root
    xcb_client_message_event_t ping{XCB_CLIENT_MESSAGE, 32, 0, xcb_window_t(window.winId())};
    for (int i = 0; const char* name : {"WM_PROTOCOLS", "_NET_WM_PING"}) {
        auto* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, strlen(name), name), nullptr);
        (i++ ? ping.data.data32[0] : ping.type) = r->atom;
        free(r);
    }
    ping.data.data32[1] = 4711, ping.data.data32[2] = ping.window;
    events.AtYield(2, [&] {  // just before the page loop
        xcb_send_event(c, 0, ping.window, 0, reinterpret_cast<char*>(&ping));
        xcb_flush(c);
    });
    int ran = 0;  // a posted call (a zero-time single shot) and a due timer
    QTimer::singleShot(0, [&] { ++ran; });
    QTimer::singleShot(1, [&] { ++ran; });
    const std::string typedInto = form.txtSrcPath.Text();
    ASSERT_EQ(QProcess::execute("xdotool", {"key", "a"}), 0);  // into the focused field
    EXPECT_TRUE(pages() == unpinged);
    bool answered = false;  // by the page loop: Qt has handled no event since
    while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
        answered |= (e->response_type & ~0x80) == XCB_CLIENT_MESSAGE &&
                    reinterpret_cast<xcb_client_message_event_t*>(e)->data.data32[1] == 4711;
        free(e);
    }
    xcb_disconnect(c);
    EXPECT_TRUE(answered);
    EXPECT_TRUE(ran == 0 && form.txtSrcPath.Text() == typedInto);  // then after the run:
    EXPECT_TRUE(QTest::qWaitFor([&] { return ran == 2 && form.txtSrcPath.Text() != typedInto; }));
    platform::SetProgramFolderForTesting("");
}

}  // namespace vb::test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "xcb");
    vb::qtview::PrepareProcess();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
