// API_IniFileAccess against real files in a temporary program folder.
#include <gtest/gtest.h>

#include <string>

#include "ini_file_access_fixture.h"
#include "platform/app_title.h"
#include "platform/system_error.h"

namespace vb::settings {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;

TEST_F(IniFileAccessTest, PathIsProgramFolderAndExecutableName) {
    EXPECT_EQ(IniFileAccess::GetIniPath(), dir / "VornackBuilder.ini");
    platform::SetProgramFolderForTesting(dir.str(), "Other");
    EXPECT_EQ(IniFileAccess::GetIniPath(), dir / "Other.ini");
}

TEST_F(IniFileAccessTest, EveryStepOfASaveMayFailWithoutLosingTheFile) {
    EachStepOfASaveFailingInTurn();
}

// A new file that could not take the old one's access list never takes its place: the file
// is rewritten where it is.
TEST_F(IniFileAccessTest, AFileWhoseAccessListCannotBeCopiedIsRewrittenInPlace) {
    WriteBytes(IniPath(), "[Setting]\r\nA=1\r\n");
    std::string steps;
    platform::SetStepFaultForTesting([&](std::string_view step) {
        steps += std::string(step) + ";";
        return step == "copy access list" ? 29 : 0;
    });
    EXPECT_TRUE(ini.PutIni("Setting", "2", "A"));
    platform::SetStepFaultForTesting({});
    EXPECT_EQ(ReadBytes(IniPath()), "[Setting]\r\nA=2\r\n");
    EXPECT_TRUE(steps.find(";open to rewrite;") != steps.npos && steps.find("rename") == steps.npos)
        << steps;
}

TEST_F(IniFileAccessTest, ReadsWithoutFileFindNothingAndCreateNothing) {
    EXPECT_EQ(Get("PrevServer"), "<absent:>");
    EXPECT_EQ(Get("Server1"), "<absent:>");
    EXPECT_FALSE(fs::exists(IniPath()));
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(IniFileAccessTest, EmptyValueReadsLikeMissingKey) {
    WriteBytes(IniPath(), "[Setting]\r\nA=\r\nB=  x  \r\n");
    EXPECT_EQ(Get("A"), "<absent:>");
    EXPECT_EQ(Get("B"), "x");
    EXPECT_EQ(Get("C"), "<absent:>");
}

TEST_F(IniFileAccessTest, WriteProtectedFileWarnsOnceAndSevenWritesFail) {
    const std::string original = "[Setting]\r\nPrevServer=1\r\n";
    WriteBytes(IniPath(), original);
    fs::permissions(IniPath(), fs::perms::owner_read | fs::perms::group_read |
                                   fs::perms::others_read);  // 0444; root could still write
    for (int i = 0; i < 7; ++i)
        EXPECT_FALSE(ini.PutIni("Setting", "5", "Key" + std::to_string(i))) << i;
    ASSERT_EQ(boxes.shown().size(), 1u);
    const auto& box = boxes.shown()[0];
    EXPECT_EQ(box.text,
              "設定ﾌｧｲﾙが書きこみ禁止になっています。\r\n"
              "設定状態を保存する場合はﾌｧｲﾙを書きこみ可にしてOKを押してください。\r\n"
              "保存しない場合はそのままOKを押してください。\r\n");
    EXPECT_EQ(box.buttons, platform::MsgButtons::OK);
    EXPECT_EQ(box.icon, platform::MsgIcon::Exclamation);
    EXPECT_EQ(box.caption, platform::kAppTitle);
    EXPECT_EQ(ReadBytes(IniPath()), original);
    EXPECT_EQ(ini.LastWriteFailure().kind, WriteFailureKind::WriteProtected);
    EXPECT_TRUE(ini.LastWriteFailure().warned);
    EXPECT_EQ(ini.KnownIniFiles().size(), 1u);
}

TEST_F(IniFileAccessTest, EachWriteProtectedPathWarnsOnce) {
    const std::string a = dir / "a.ini", b = dir / "b.ini";
    for (const auto& p : {a, b}) {
        WriteBytes(p, "");
        fs::permissions(p, fs::perms::owner_read);
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(ini.PutIni("Setting", "1", "K", a));
        EXPECT_FALSE(ini.PutIni("Setting", "1", "K", b));
    }
    EXPECT_EQ(boxes.shown().size(), 2u);
}

TEST_F(IniFileAccessTest, FileMadeWritableBeforeOkIsWritten) {
    WriteBytes(IniPath(), "[Setting]\r\n");
    fs::permissions(IniPath(), fs::perms::owner_read);
    boxes.OnNextShow(
        [&] { fs::permissions(IniPath(), fs::perms::owner_write, fs::perm_options::add); });
    EXPECT_TRUE(ini.PutIni("Setting", "1", "A"));
    EXPECT_TRUE(ini.PutIni("Setting", "2", "B"));
    EXPECT_EQ(ReadBytes(IniPath()), "[Setting]\r\nA=1\r\nB=2\r\n");
    EXPECT_EQ(boxes.shown().size(), 1u);
}

// A store whose reads of one path fail, as for a file the user may not read.
class UnreadableStore : public SettingsFileStore {
  public:
    explicit UnreadableStore(std::string path) : path_(std::move(path)) {}
    ReadResult Read(const std::string& path) override {
        if (path != path_) return SettingsFileStore::Read(path);
        return ReadResult{true, platform::os_error::kAccessDenied, {}};
    }

  private:
    std::string path_;
};

TEST_F(IniFileAccessTest, FileThatCannotBeReadIsNeverOverwritten) {
    const std::string original = "[Other]\r\nKeep=me\r\n[Setting]\r\nA=1\r\n";
    WriteBytes(IniPath(), original);
    UnreadableStore store(IniPath());
    IniFileAccess faulty(boxes, store);
    std::string value;
    EXPECT_FALSE(faulty.GetIni("Setting", value, "A"));
    EXPECT_FALSE(faulty.PutIni("Setting", "2", "A"));
    EXPECT_EQ(ReadBytes(IniPath()), original);
    EXPECT_EQ(faulty.LastWriteFailure().kind, WriteFailureKind::Other);
    EXPECT_EQ(faulty.LastWriteFailure().reason,
              platform::DescribeOsError(platform::os_error::kAccessDenied));
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(IniFileAccessTest, LineBreaksInAValueCannotAddKeys) {
    ASSERT_TRUE(ini.PutIni("Setting", "x\r\nPrevServer=3\n[Other]\rY=1", "ReplaceText"));
    EXPECT_EQ(ReadBytes(IniPath()), "[Setting]\r\nReplaceText=x  PrevServer=3 [Other] Y=1\r\n");
    EXPECT_EQ(Get("PrevServer"), "<absent:>");
    EXPECT_EQ(Get("ReplaceText"), "x  PrevServer=3 [Other] Y=1");
}

TEST_F(IniFileAccessTest, CharactersOutsideCp932SurviveSaveAndLoad) {
    const std::string values[] = {"ü€ 😀 ♥", "&#38;# and &#9829;", "〜 wave", "/tmp/dir ü/ソース"};
    for (const auto& value : values) {
        ASSERT_TRUE(ini.PutIni("Setting", value, "SrcPath"));
        EXPECT_EQ(Get("SrcPath"), value);
    }
    EXPECT_EQ(ReadBytes(IniPath()).find('?'), std::string::npos);
}

TEST_F(IniFileAccessTest, ValuesAtTheReadBufferLimit) {
    const std::string a = "あ";
    struct Case {
        std::string written;
        std::string read;
    } cases[] = {
        {std::string(10239, 'a'), std::string(10239, 'a')},
        {std::string(10240, 'a'), std::string(10239, 'a')},
        {std::string(10237, 'a') + a, std::string(10237, 'a') + a},
        {std::string(10238, 'a') + a, std::string(10238, 'a')},
        {Repeat(a, 5120), Repeat(a, 5119)},
        {"a" + Repeat(a, 5120), "a" + Repeat(a, 5119)},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(ini.PutIni("Setting", c.written, "ReplaceText"));
        EXPECT_EQ(Get("ReplaceText"), c.read) << c.written.size();
    }
}

}  // namespace
}  // namespace vb::settings
