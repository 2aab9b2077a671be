// Settings load and save on a window's controls, against real files.
#include "settings/ini_setting.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "build_config.h"
#include "fakes.h"
#include "platform/app_title.h"
#include "platform/native_path.h"
#include "platform/program_folder.h"
#include "platform/system_error.h"
#include "settings_window.h"
#include "temp_dir.h"

namespace vb::settings {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;

// "ヴォルナック" in cp932.
const std::string kVornackCp932 = "\x83\x94\x83\x48\x83\x8B\x83\x69\x83\x62\x83\x4E";

class IniSettingTest : public testing::Test {
  protected:
    void SetUp() override { platform::SetProgramFolderForTesting(dir.str()); }
    void TearDown() override { platform::SetProgramFolderForTesting(""); }

    std::string IniPath() const { return dir / "VornackBuilder.ini"; }
    void Load() { GetIniSetting(window.Fields(), fso, ini); }
    void Save() { PutIniSetting(window.Fields(), ini, boxes); }

    test::TempDir dir;
    test::FakeMessageBox boxes;
    platform::FileSystemObject fso;
    IniFileAccess ini{boxes};
    test::SettingsWindow window;
};

TEST_F(IniSettingTest, WithoutFileShowsDefaultsAndClosingWritesTheSevenKeys) {
    Load();
    EXPECT_EQ(window.cboServer.ListCount(), 0);
    EXPECT_EQ(window.cboServer.ListIndex(), -1);
    EXPECT_EQ(window.cboTitle.ListCount(), 0);
    EXPECT_EQ(window.cboTitle.ListIndex(), -1);
    EXPECT_EQ(window.txtSrcPath.Text(), "");
    EXPECT_EQ(window.txtSrcNum.Text(), "");
    // The defaults as the window must show them; the other tests use the constants.
    EXPECT_EQ(window.txtMakePageNum.Text(), "100");
    EXPECT_EQ(window.txtPagePerSrcNum.Text(), "10");
    EXPECT_EQ(window.txtReplaceTarget.Text(), "ヴォルナック");
    EXPECT_EQ(window.txtReplaceText.Text(),
              std::string("<a href='") + build_config::kHomeUrl + "'>ヴォルナック</a>");
    EXPECT_FALSE(fs::exists(IniPath()));

    Save();
    EXPECT_EQ(ReadBytes(IniPath()),
              "[Setting]\r\n"
              "PrevServer=-1\r\n"
              "PrevTitle=-1\r\n"
              "SrcPath=\r\n"
              "MakePageNum=100\r\n"
              "PagePerSrcNum=10\r\n"
              "ReplaceTarget=" +
                  kVornackCp932 +
                  "\r\n"
                  "ReplaceText=<a href='" +
                  build_config::kHomeUrl + "'>" + kVornackCp932 + "</a>\r\n");
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(IniSettingTest, HandEditedFileIsReadByTheFormatRules) {
    fs::create_directory(dir / "local");
    WriteBytes(IniPath(),
               "; servers below\r\n"
               "[setting]\r\n"
               "  server1 =  host1 user1 pass1  \r\n"
               "SERVER2=host2  user2 pass2\r\n"
               "junk line without equals\r\n"
               "Server3=../evil u p\r\n"
               "Server5=host5 u p\r\n"
               "title1=My Page Title\r\n"
               "Title2 =   Second  title  \r\n"
               "PREVSERVER = 1.5\r\n"
               "MakePageNum=\r\n"
               "[Setting]\r\n"
               "Server4=dup\r\n"
               "PagePerSrcNum=7\r\n"
               "[Other]\r\n"
               "SrcPath=/nowhere\r\n");
    Load();
    EXPECT_EQ(window.cboServer.Items(), (std::vector<std::string>{"host1", "host2", "../evil"}));
    EXPECT_EQ(window.cboServer.ListIndex(), 2);
    EXPECT_EQ(window.cboTitle.Items(),
              (std::vector<std::string>{"My Page Title", "Second  title"}));
    EXPECT_EQ(window.cboTitle.ListIndex(), -1);
    EXPECT_EQ(window.txtMakePageNum.Text(), kDefaultMakePageNum);
    EXPECT_EQ(window.txtPagePerSrcNum.Text(), kDefaultPagePerSrcNum);
    EXPECT_EQ(window.txtSrcPath.Text(), "");
    EXPECT_EQ(window.txtSrcNum.Text(), "");
    EXPECT_TRUE(fs::is_directory(dir / "local/host1"));
    EXPECT_TRUE(fs::is_directory(dir / "local/host2"));
    EXPECT_FALSE(fs::exists(dir / "evil")) << "a server name climbed out of local";
    EXPECT_FALSE(fs::exists(dir / "local/host5"));
    EXPECT_FALSE(fs::exists(dir / "local/dup"));
}

struct ChoiceCase {
    const char* stored;  // nullptr: no PrevServer key
    int expected;
};
void PrintTo(const ChoiceCase& c, std::ostream* os) {
    *os << (c.stored ? c.stored : "(no PrevServer)");
}

class ServerChoiceTest : public IniSettingTest, public testing::WithParamInterface<ChoiceCase> {};

TEST_P(ServerChoiceTest, StoredPositionChoosesAServer) {
    std::string file = "[Setting]\r\nServer1=a u p\r\nServer2=b u p\r\nServer3=c u p\r\n";
    if (GetParam().stored) file += std::string("PrevServer=") + GetParam().stored + "\r\n";
    WriteBytes(IniPath(), file);
    Load();
    ASSERT_EQ(window.cboServer.ListCount(), 3);
    EXPECT_EQ(window.cboServer.ListIndex(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ServerChoiceTest,
    testing::Values(ChoiceCase{nullptr, -1}, ChoiceCase{"", -1}, ChoiceCase{"-1", -1},
                    ChoiceCase{"0", 0}, ChoiceCase{"2", 2}, ChoiceCase{"5", 0},
                    ChoiceCase{"abc", 0}, ChoiceCase{"1abc", 1}, ChoiceCase{"0.5", 0},
                    ChoiceCase{"1.5", 2}, ChoiceCase{"2.5", 2}, ChoiceCase{"1.4", 1},
                    ChoiceCase{"-0.5", 0}, ChoiceCase{"-1.5", 0}, ChoiceCase{"-2", 0},
                    ChoiceCase{"99999", 0}, ChoiceCase{"-99999", 0}, ChoiceCase{"32768", 0}),
    [](const testing::TestParamInfo<ChoiceCase>& info) {
        if (!info.param.stored) return std::string("Absent");
        std::string name = *info.param.stored ? "" : "Empty";
        for (const char* p = info.param.stored; *p; ++p) {
            if (*p == '-')
                name += "Minus";
            else if (*p == '.')
                name += "Point";
            else
                name += *p;
        }
        return name;
    });

TEST_F(IniSettingTest, TitleChoiceFollowsTheSameRuleAndTitlesStayWhole) {
    WriteBytes(IniPath(),
               "[Setting]\r\nTitle1=first title\r\nTitle2=second title\r\n"
               "PrevTitle=1\r\n");
    Load();
    EXPECT_EQ(window.cboTitle.Items(), (std::vector<std::string>{"first title", "second title"}));
    EXPECT_EQ(window.cboTitle.ListIndex(), 1);
    WriteBytes(IniPath(), "[Setting]\r\nTitle1=first title\r\nPrevTitle=7\r\n");
    Load();
    EXPECT_EQ(window.cboTitle.ListIndex(), 0);
}

TEST_F(IniSettingTest, StoredChoiceWithEmptyListsChoosesNothing) {
    WriteBytes(IniPath(), "[Setting]\r\nPrevServer=0\r\nPrevTitle=0\r\nServer2=gap u p\r\n");
    Load();
    EXPECT_EQ(window.cboServer.ListCount(), 0);
    EXPECT_EQ(window.cboServer.ListIndex(), -1);
    EXPECT_EQ(window.cboTitle.ListIndex(), -1);
}

TEST_F(IniSettingTest, ServerFoldersAreMadeOnlyInsideAnExistingLocalFolder) {
    WriteBytes(IniPath(), "[Setting]\r\nServer1=host user pass\r\n");
    Load();
    EXPECT_FALSE(fs::exists(dir / "local"));
    EXPECT_EQ(window.cboServer.Items(), std::vector<std::string>{"host"});

    fs::create_directory(dir / "local");
    Load();
    EXPECT_TRUE(fs::is_directory(dir / "local/host"));
    Load();  // the folder exists now: ignored
    EXPECT_EQ(window.cboServer.Items(), std::vector<std::string>{"host"});
}

// A file service whose listing of one folder fails, as for a folder the user may not read.
class UnlistableFolder : public platform::FileSystemObject {
  public:
    explicit UnlistableFolder(std::string path) : path_(std::move(path)) {}
    platform::Folder GetFolder(const std::string& path) override {
        if (path == path_) throw platform::SystemError(platform::DescribeFailure("", path, EACCES));
        return FileSystemObject::GetFolder(path);
    }

  private:
    std::string path_;
};

TEST_F(IniSettingTest, SourceFolderCount) {
    const std::string src = dir / "src";
    fs::create_directories(src + "/sub");
    for (const char* name : {"a.txt", "b.jpg", ".hidden"}) WriteBytes(src + "/" + name, "x");
    WriteBytes(src + "/sub/c.txt", "x");

    struct Case {
        const char* name;
        std::string file;
        std::string path;
        std::string count;
    } cases[] = {
        {"Existing", "SrcPath=" + src + "\r\n", src, "3"},
        {"Missing", "SrcPath=" + src + "/gone\r\n", "", "0"},
        {"Absent", "", "", ""},
        {"Empty", "SrcPath=\r\n", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(IniPath(), "[Setting]\r\n" + c.file);
        Load();
        EXPECT_EQ(window.txtSrcPath.Text(), c.path);
        EXPECT_EQ(window.txtSrcNum.Text(), c.count);
    }

    UnlistableFolder unlistable(src);
    WriteBytes(IniPath(), "[Setting]\r\nSrcPath=" + src + "\r\n");
    GetIniSetting(window.Fields(), unlistable, ini);
    EXPECT_EQ(window.txtSrcPath.Text(), src);
    EXPECT_EQ(window.txtSrcNum.Text(), "0");
    EXPECT_EQ(window.txtMakePageNum.Text(), kDefaultMakePageNum) << "the load stopped early";
    EXPECT_TRUE(boxes.shown().empty());
}

// A source folder away at the start (a stick, a share that is down): the field shows nothing,
// and the close keeps the stored path for the runs that follow.
TEST_F(IniSettingTest, AStoredSourcePathWhoseFolderIsAwayOutlivesTheSession) {
    WriteBytes(IniPath(), "[Setting]\r\nSrcPath=" + (dir / "away") + "\r\n");
    Load();
    ASSERT_EQ(window.txtSrcPath.Text(), "");
    Save();
    EXPECT_NE(ReadBytes(IniPath()).find("SrcPath=" + (dir / "away") + "\r\n"), std::string::npos);
}

TEST_F(IniSettingTest, ReloadRestoresTheFileAndKeepsTheAdvertisementText) {
    WriteBytes(IniPath(), "[Setting]\r\nServer1=h u p\r\nPrevServer=0\r\nMakePageNum=7\r\n");
    window.txtCM.SetText("ad line 1\r\nad line 2");
    Load();
    window.txtMakePageNum.SetText("999");
    window.txtLog.SetText("a run's log\r\n");
    window.txtReplaceTarget.SetText("typed");
    window.cboServer.SetListIndex(-1);
    Load();
    EXPECT_EQ(window.txtMakePageNum.Text(), "7");
    EXPECT_EQ(window.txtReplaceTarget.Text(), kDefaultReplaceTarget);
    EXPECT_EQ(window.txtLog.Text(), "");
    EXPECT_EQ(window.txtCM.Text(), "ad line 1\r\nad line 2");
    EXPECT_EQ(window.cboServer.Items(), std::vector<std::string>{"h"});
    EXPECT_EQ(window.cboServer.ListIndex(), 0);
}

TEST_F(IniSettingTest, SaveLeavesEverythingElseByteForByte) {
    WriteBytes(IniPath(),
               "; VornackBuilder settings\r\n"
               "[Other]\r\n"
               "PrevServer=keep\r\n"
               "[Setting]\r\n"
               "Server1=h1 u p\r\n"
               "Server2=h2 u p\r\n"
               "Title1=T\r\n"
               "PrevServer=0\r\n"
               "Unknown=zzz\r\n"
               "SrcPath=/old\r\n"
               "\r\n"
               "; trailing comment\r\n"
               "[Tail]\r\n"
               "X=1");
    Load();
    window.cboServer.SetListIndex(1);
    window.txtSrcPath.SetText("/new");
    window.txtMakePageNum.SetText("5");
    window.txtPagePerSrcNum.SetText("6");
    window.txtReplaceTarget.SetText("w");
    window.txtReplaceText.SetText("r");
    Save();
    EXPECT_EQ(ReadBytes(IniPath()),
              "; VornackBuilder settings\r\n"
              "[Other]\r\n"
              "PrevServer=keep\r\n"
              "[Setting]\r\n"
              "Server1=h1 u p\r\n"
              "Server2=h2 u p\r\n"
              "Title1=T\r\n"
              "PrevServer=1\r\n"
              "Unknown=zzz\r\n"
              "SrcPath=/new\r\n"
              "PrevTitle=-1\r\n"
              "MakePageNum=5\r\n"
              "PagePerSrcNum=6\r\n"
              "ReplaceTarget=w\r\n"
              "ReplaceText=r\r\n"
              "\r\n"
              "; trailing comment\r\n"
              "[Tail]\r\n"
              "X=1");
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(IniSettingTest, FieldsSurviveSaveAndLoad) {
    const std::string src = dir / "ソース ü😀";
    fs::create_directory(platform::PathFromUtf8(src));
    WriteBytes(src + "/one.txt", "x");
    WriteBytes(IniPath(), "[Setting]\r\nServer1=h u p\r\nTitle1=t\r\n");
    Load();
    window.txtSrcPath.SetText(src);
    window.txtReplaceTarget.SetText("&#38;# ♥");
    window.txtReplaceText.SetText("line one\r\nPrevServer=0");
    window.txtMakePageNum.SetText("");
    Save();
    Load();
    EXPECT_EQ(window.txtSrcPath.Text(), src);
    EXPECT_EQ(window.txtSrcNum.Text(), "1");
    EXPECT_EQ(window.txtReplaceTarget.Text(), "&#38;# ♥");
    EXPECT_EQ(window.txtReplaceText.Text(), "line one  PrevServer=0");
    EXPECT_EQ(window.cboServer.ListIndex(), -1) << "a line break added a key";
    EXPECT_EQ(window.txtMakePageNum.Text(), kDefaultMakePageNum);
}

// The system's errors and folder permissions of Linux (Windows ignores a folder's read-only
// attribute); the Windows save failures are covered by the platform's own tests.
#ifndef _WIN32
TEST_F(IniSettingTest, FailedSaveIsReportedOnce) {
    struct Case {
        const char* name;
        std::string folder;
        std::function<void()> prepare;
        int error;
    } cases[] = {
        {"MissingFolder", dir / "gone", [] {}, ENOENT},
        {"FolderOfThatName", dir / "a",
         [&] { fs::create_directories(dir / "a/VornackBuilder.ini"); }, EISDIR},
        {"FolderWithoutWritePermission", dir / "ro",
         [&] {
             fs::create_directory(dir / "ro");
             fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::owner_exec);
         },
         EACCES},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.prepare();
        platform::SetProgramFolderForTesting(c.folder);
        test::FakeMessageBox caseBoxes;
        IniFileAccess caseIni(caseBoxes);
        Load();
        PutIniSetting(window.Fields(), caseIni, caseBoxes);
        ASSERT_EQ(caseBoxes.shown().size(), 1u);
        const auto& box = caseBoxes.shown()[0];
        EXPECT_EQ(box.text, "設定ﾌｧｲﾙに保存できませんでした。\r\n" + c.folder +
                                "/VornackBuilder.ini\r\n" + std::strerror(c.error));
        EXPECT_EQ(box.buttons, platform::MsgButtons::OK);
        EXPECT_EQ(box.icon, platform::MsgIcon::Exclamation);
        EXPECT_EQ(box.caption, platform::kAppTitle);
        EXPECT_FALSE(fs::is_regular_file(c.folder + "/VornackBuilder.ini"));
    }
}
#endif

TEST_F(IniSettingTest, WriteProtectedFileAtClosingShowsOnlyItsWarning) {
    const std::string original = "[Setting]\r\nPrevServer=0\r\n";
    WriteBytes(IniPath(), original);
    fs::permissions(IniPath(), fs::perms::owner_read | fs::perms::group_read);
    Load();
    window.txtMakePageNum.SetText("1");
    Save();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, kWriteProtectedWarning);
    EXPECT_EQ(ReadBytes(IniPath()), original);
}

}  // namespace
}  // namespace vb::settings
