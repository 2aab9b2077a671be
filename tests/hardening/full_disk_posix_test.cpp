// A full disk during a write-out and during the save at closing: the user is told, with the
// system's reason, and no settings are lost. Where the machine lets the test mount a small
// tmpfs the disk is really full; the same cases also run with the fault injected into the
// file services, which works everywhere.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "builder/messages.h"
#include "codec/codec.h"
#include "hostile_fixture.h"
#include "platform/program_folder.h"
#include "platform/system_error.h"
#include "settings/api_ini_file_access.h"
#include "settings/ini_setting.h"

namespace vb::test {
namespace {

namespace fs = std::filesystem;
using platform::MsgIcon;
using ::testing::IsEmpty;

const std::string kNoSpace = std::strerror(ENOSPC);

// Pages of about 8 KB, so that a disk of a few hundred KB fills after some dozens of them.
std::string BigSource() {
    std::string text;
    while (text.size() < 8000) text += "ヴォルナックで埋める行。\r\n";
    return codec::cp932::Encode(text);
}

class FullDiskTest : public HostileTest {
  protected:
    void SetUp() override {
        WriteBytes(At("src/a.txt"), BigSource());
        fs::remove(At("src/b.txt"));
    }
    // A job whose pages need far more room than there is.
    void ArrangeLongJob(ui::frmVornack& w) {
        w.txtMakePageNum.SetText("200");
        w.txtPagePerSrcNum.SetText("1");
    }
};

// The program folder on a tmpfs of 256 KB mounted over the fixture's folder.
class RealFullDiskTest : public FullDiskTest {
  protected:
    void SetUp() override {
        mounted_ = ::mount("tmpfs", mountPoint_.str().c_str(), "tmpfs", 0, "size=256k") == 0;
        if (!mounted_)
            GTEST_SKIP() << "cannot mount a tmpfs here (" << std::strerror(errno)
                         << "); the injected-fault tests cover the same cases";
        // Build the fixture's program folder anew on the small disk.
        platform::SetProgramFolderForTesting(mountPoint_.str(), "VornackBuilder");
        root_ = mountPoint_.str();
        fs::create_directories(root_ + "/local/srv");
        fs::create_directories(root_ + "/local/other");
        fs::create_directories(root_ + "/src");
        WriteBytes(root_ + "/local/other/index.html", kOtherServerFile);
        WriteBytes(root_ + "/template.html", codec::cp932::Encode(kTemplate));
        WriteBytes(root_ + "/src/a.txt", BigSource());
        auto lines = DefaultSettings();
        lines[6] = "SrcPath=" + root_ + "/src";
        std::string text;
        for (const auto& line : lines) text += line + "\r\n";
        WriteBytes(root_ + "/VornackBuilder.ini", codec::cp932::Encode(text));
    }
    void TearDown() override {
        window.reset();
        if (mounted_) ::umount2(mountPoint_.str().c_str(), MNT_DETACH);
    }

    TempDir mountPoint_;
    std::string root_;
    bool mounted_ = false;
};

TEST_F(RealFullDiskTest, WriteOutAndSaveOnAFullDiskTellTheUserAndLoseNoSettings) {
    const std::string iniBefore = ReadBytes(root_ + "/VornackBuilder.ini");
    auto& w = Started();
    ASSERT_EQ(w.txtSrcPath.Text(), root_ + "/src");
    ArrangeLongJob(w);
    const Tree before = Without(Snapshot(root_), "local/srv");

    w.mnuGo.RaiseClick();

    ASSERT_EQ(boxes.shown().size(), 2u) << Describe(boxes.shown());
    const auto& failure = boxes.shown().back();
    EXPECT_EQ(failure.icon, MsgIcon::Critical);
    EXPECT_TRUE(failure.text.starts_with(std::string(platform::kCannotWrite) + "\r\n" + root_ +
                                         "/local/srv/vor"))
        << failure.text;
    EXPECT_TRUE(failure.text.ends_with("\r\n" + kNoSpace)) << failure.text;
    EXPECT_EQ(w.txtLog.Text(), builder::msg::kLogStarted);
    EXPECT_THAT(Changed(before, Without(Snapshot(root_), "local/srv")), IsEmpty());

    // The disk is still full when the window closes: the save fails, says so, and the
    // settings file keeps every old value. (The page that could not be written was removed,
    // giving its room back: that room is taken again.)
    {
        std::ofstream filler(root_ + "/local/srv/filler", std::ios::binary);
        const std::string block(4096, 'f');
        while (filler.write(block.data(), block.size()) && filler.flush()) {
        }
    }
    w.txtMakePageNum.SetText("42");
    Close();
    ASSERT_EQ(boxes.shown().size(), 3u) << Describe(boxes.shown());
    EXPECT_EQ(boxes.shown().back().icon, MsgIcon::Exclamation);
    EXPECT_EQ(boxes.shown().back().text, settings::kSaveFailedMessage + std::string("\r\n") +
                                             root_ + "/VornackBuilder.ini\r\n" + kNoSpace);
    EXPECT_EQ(ReadBytes(root_ + "/VornackBuilder.ini"), iniBefore);
    EXPECT_THAT(Changed(before, Without(Snapshot(root_), "local/srv")), IsEmpty());

    // Once there is room again, the next save goes through.
    fs::remove_all(root_ + "/local/srv");
    FakeMessageBox nextBoxes;
    auto next = Restarted(nextBoxes);
    EXPECT_EQ(next->txtMakePageNum.Text(), "3");
    next->txtMakePageNum.SetText("42");
    next->mnuExit.RaiseClick();
    EXPECT_THAT(nextBoxes.shown(), IsEmpty()) << Describe(nextBoxes.shown());
    FakeMessageBox thirdBoxes;
    EXPECT_EQ(Restarted(thirdBoxes)->txtMakePageNum.Text(), "42");
}

TEST_F(FullDiskTest, InjectedFullDiskDuringWriteOutIsReported) {
    auto& w = Started();
    ArrangeLongJob(w);
    int pagesWritten = 0;
    fso->writeFailsWhen = [&](const std::string&) { return ++pagesWritten > 5 ? ENOSPC : 0; };
    const Tree before = Without(Snapshot(dir.path()), "local/srv");

    w.mnuGo.RaiseClick();

    ASSERT_EQ(boxes.shown().size(), 2u) << Describe(boxes.shown());
    EXPECT_EQ(boxes.shown().back().icon, MsgIcon::Critical);
    EXPECT_TRUE(boxes.shown().back().text.starts_with("ファイルを書き込めません。\r\n" +
                                                      At("local/srv/vor")));
    EXPECT_TRUE(boxes.shown().back().text.ends_with("\r\n" + kNoSpace));
    EXPECT_EQ(w.txtLog.Text(), builder::msg::kLogStarted);
    EXPECT_EQ(OutputFiles("srv").size(), 5u);  // the pages written before the disk filled
    EXPECT_THAT(Changed(before, Without(Snapshot(dir.path()), "local/srv")), IsEmpty());
    EXPECT_FALSE(w.WriteOutState().writeOutRunning);
}

// The settings store on a full disk: every replacement fails for want of room.
class FullDiskStore : public settings::SettingsFileStore {
  public:
    int Replace(const std::string&, const std::string&) override {
        ++attempts;
        return ENOSPC;
    }
    int attempts = 0;
};

TEST_F(FullDiskTest, InjectedFullDiskDuringSaveIsReportedAndLosesNoSettings) {
    const std::string iniBefore = ReadBytes(IniPath());
    FullDiskStore store;
    settingsStore = &store;
    Started().txtMakePageNum.SetText("42");

    Close();

    EXPECT_EQ(store.attempts, 1);  // the seven keys in one replacement
    ASSERT_EQ(boxes.shown().size(), 1u) << Describe(boxes.shown());
    EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(boxes.shown()[0].text,
              settings::kSaveFailedMessage + std::string("\r\n") + IniPath() + "\r\n" + kNoSpace);
    EXPECT_EQ(ReadBytes(IniPath()), iniBefore);
    FakeMessageBox nextBoxes;
    EXPECT_EQ(Restarted(nextBoxes)->txtMakePageNum.Text(), "3");
}

}  // namespace
}  // namespace vb::test
