// Hostile conditions that exist on Windows, seen by the user of the whole window: files that
// another program holds open, and Japanese and emoji names. Sharing is decided per open
// handle, so a handle of this test stands for the other program.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "builder/messages.h"
#include "codec/codec.h"
#include "hostile_fixture.h"
#include "platform/native_path.h"
#include "platform/own_name.h"
#include "platform/system_error.h"
#include "platform/wide_text.h"
#include "settings/ini_setting.h"

namespace vb::test {
namespace {

namespace fs = std::filesystem;
using platform::MsgIcon;
using ::testing::IsEmpty;

// An open handle to a file, as a browser showing a page or an editor keeps one.
class HeldOpen {
  public:
    HeldOpen(const std::string& path, DWORD share)
        : h_(CreateFileW(platform::WideFromUtf8(path).c_str(), GENERIC_READ, share, nullptr,
                         OPEN_EXISTING, 0, nullptr)) {}
    ~HeldOpen() {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    bool ok() const { return h_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE h_;
};

using HostileWin32Test = HostileTest;

// A page of the last run that another program holds open: the user is told which folder
// and the system's reason, the held page stays, and nothing outside the output folder
// changes. Windows refuses to move a folder with a file open inside: the run is refused
// before anything is deleted. Wine moves it: the run finishes beside the old pages, and its
// log names the folder aside that keeps the held page (never moved back to the output
// folder's name, which the new folder takes).
TEST_F(HostileWin32Test, APageHeldOpenIsNamedWithTheSystemsReasonAndStaysWhole) {
    auto& w = Started();
    const Tree before = Without(Snapshot(dir.path()), "local/srv");
    const std::string page = At("local/srv/vor00000.html");
    HeldOpen browser(page, FILE_SHARE_READ);
    ASSERT_TRUE(browser.ok());

    w.mnuGo.RaiseClick();

    EXPECT_FALSE(w.WriteOutState().writeOutRunning);
    Tree after = Without(Snapshot(dir.path()), "local/srv");
    std::string aside;  // "local/<aside name>"
    std::erase_if(after, [&](const auto& entry) {
        const bool moved = entry.first.starts_with("local/" + platform::OwnName("srv", "del"));
        if (moved) aside = entry.first.substr(0, entry.first.find('/', 6));
        return moved;
    });
    EXPECT_THAT(Changed(before, after), IsEmpty());
    const std::string reason = platform::DescribeOsError(ERROR_SHARING_VIOLATION);
    if (aside.empty()) {
        ASSERT_EQ(boxes.shown().size(), 2u) << Describe(boxes.shown());
        EXPECT_EQ(boxes.shown()[1].icon, MsgIcon::Critical);
        EXPECT_EQ(boxes.shown()[1].text, std::string(platform::kCannotMoveAside) + "\r\n" +
                                             platform::LexicalFullPath(At("local/srv")) + "\r\n" +
                                             reason);
        EXPECT_EQ(ReadBytes(page), kOldPage);
        return;
    }
    ASSERT_EQ(boxes.shown().size(), 1u) << Describe(boxes.shown());
    EXPECT_NE(w.txtLog.Text().find(std::string(builder::msg::kOldPagesLeftAside) +
                                   platform::kCannotDeleteFolder + "\r\n" +
                                   platform::LexicalFullPath(At(aside)) + "\r\n" + reason),
              std::string::npos)
        << w.txtLog.Text();
    EXPECT_TRUE(fs::exists(At("local/srv/index.html")));
    EXPECT_EQ(ReadBytes(At(aside + "/vor00000.html")), kOldPage);
}

// A server name longer than a name may be (255 characters on NTFS): the run stops at making
// the output folder, telling the user which folder and the system's reason, and nothing else
// changes (but for the write-out's lock file beside it).
TEST_F(HostileWin32Test, AServerNameTooLongForTheFileSystemStopsTheRunWithTheSystemsReason) {
    auto& w = Started();
    const std::string server(300, 'n');
    ChooseServer(server);
    const Tree before = Snapshot(dir.path());

    w.mnuGo.RaiseClick();

    ASSERT_EQ(boxes.shown().size(), 2u) << Describe(boxes.shown());
    const auto& failure = boxes.shown()[1];
    EXPECT_EQ(failure.icon, MsgIcon::Critical);
    const std::string start = "フォルダを作成できません。\r\n" + At("local/" + server) + "\r\n";
    EXPECT_TRUE(failure.text.starts_with(start) && failure.text.size() > start.size())
        << failure.text;
    EXPECT_EQ(w.txtLog.Text(), builder::msg::kLogStarted);
    EXPECT_THAT(Changed(before, Without(Snapshot(dir.path()), "local/" + server)), IsEmpty());
}

// The settings file locked by another program when the window closes: one warning with the
// file and the system's reason, and the file keeps every old value.
TEST_F(HostileWin32Test, ASettingsFileLockedAtClosingIsReportedAndKept) {
    auto& w = Started();
    w.txtMakePageNum.SetText("42");
    const Tree before = Snapshot(dir.path());
    {
        HeldOpen locker(IniPath(), FILE_SHARE_READ);
        ASSERT_TRUE(locker.ok());
        Close();
    }
    ASSERT_EQ(boxes.shown().size(), 1u) << Describe(boxes.shown());
    EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(boxes.shown()[0].text, std::string(settings::kSaveFailedMessage) + "\r\n" +
                                         IniPath() + "\r\n" +
                                         platform::DescribeOsError(ERROR_SHARING_VIOLATION));
    // The file as it was, and no temporary file left beside it.
    EXPECT_THAT(Changed(before, Snapshot(dir.path())), IsEmpty());
}

// A source folder, a source file and a server with Japanese and emoji names (outside cp932):
// the run reads the source and writes the server's pages under its own name.
TEST_F(HostileWin32Test, JapaneseAndEmojiNamesGoTheWholeWay) {
    const std::string source = At("ソース😀");
    fs::create_directory(platform::PathFromUtf8(source));
    WriteBytes(source + "\\ネタ😀.txt", codec::cp932::Encode("絵文字の名前のネタ\r\n"));
    auto& w = Started();
    w.txtSrcPath.SetText(source);
    w.txtMakePageNum.SetText("2");
    w.txtPagePerSrcNum.SetText("1");
    ChooseServer("サーバ😀");

    w.mnuGo.RaiseClick();

    ASSERT_EQ(boxes.shown().size(), 1u) << Describe(boxes.shown());  // the confirmation only
    const auto files = OutputFiles("サーバ😀");
    ASSERT_EQ(files.size(), 3u);  // index.html first, then the two pages
    const std::string page = ReadBytes(At("local/サーバ😀/" + files.back()));
    EXPECT_NE(page.find(codec::cp932::Encode("絵文字の名前のネタ")), std::string::npos) << page;
}

}  // namespace
}  // namespace vb::test
