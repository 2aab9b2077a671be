// API_IniFileAccess against real files in a temporary program folder.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "fakes.h"
#include "platform/app_title.h"
#include "platform/program_folder.h"
#include "settings/api_ini_file_access.h"
#include "temp_dir.h"

namespace vb::settings {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;

unsigned ModeOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return 0;
    return st.st_mode & 07777;
}

ino_t InodeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_ino;
}

std::set<std::string> NamesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

std::string Repeat(const std::string& unit, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count; ++i) out += unit;
    return out;
}

class IniFileAccessTest : public testing::Test {
  protected:
    void SetUp() override { platform::SetProgramFolderForTesting(dir.str()); }
    void TearDown() override { platform::SetProgramFolderForTesting(""); }

    std::string IniPath() const { return dir / "VornackBuilder.ini"; }
    std::string Get(const std::string& key) {
        std::string value = "stale";
        return ini.GetIni("Setting", value, key) ? value : "<absent:" + value + ">";
    }

    test::TempDir dir;
    test::FakeMessageBox boxes;
    IniFileAccess ini{boxes};
};

TEST_F(IniFileAccessTest, PathIsProgramFolderAndExecutableName) {
    EXPECT_EQ(IniFileAccess::GetIniPath(), dir.str() + "/VornackBuilder.ini");
    platform::SetProgramFolderForTesting(dir.str(), "Other");
    EXPECT_EQ(IniFileAccess::GetIniPath(), dir.str() + "/Other.ini");
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

TEST_F(IniFileAccessTest, FirstWriteCreatesOwnerOnlyFileWithHeaderAndEntry) {
    const mode_t oldMask = ::umask(0);
    const bool ok = ini.PutIni("Setting", "-1", "PrevServer");
    ::umask(oldMask);
    ASSERT_TRUE(ok);
    EXPECT_EQ(ReadBytes(IniPath()), "[Setting]\r\nPrevServer=-1\r\n");
    EXPECT_EQ(ModeOf(IniPath()), 0600u);
    // The file did not exist when it was checked; the next write meets it.
    EXPECT_TRUE(ini.KnownIniFiles().empty());
    ASSERT_TRUE(ini.PutIni("Setting", "2", "PrevTitle"));
    EXPECT_EQ(ini.KnownIniFiles(), std::vector<std::string>{IniPath()});
    EXPECT_EQ(ReadBytes(IniPath()), "[Setting]\r\nPrevServer=-1\r\nPrevTitle=2\r\n");
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
        return ReadResult{true, EACCES, {}};
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
    EXPECT_EQ(faulty.LastWriteFailure().reason, std::strerror(EACCES));
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(IniFileAccessTest, WriteThatCannotCreateTheFileChangesNothing) {
    struct Case {
        const char* name;
        std::string path;
        std::function<void()> prepare;
        int error;
    };
    const std::string readOnlyFolder = dir / "ro";
    const Case cases[] = {
        {"FolderOfThatName", dir / "folder.ini", [&] { fs::create_directory(dir / "folder.ini"); },
         EISDIR},
        {"MissingFolder", dir / "missing/x.ini", [] {}, ENOENT},
        {"FolderWithoutWritePermission", readOnlyFolder + "/x.ini",
         [&] {
             fs::create_directory(readOnlyFolder);
             fs::permissions(readOnlyFolder, fs::perms::owner_read | fs::perms::owner_exec);
         },
         EACCES},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.prepare();
        const auto before = NamesIn(dir.str());
        EXPECT_FALSE(ini.PutIni("Setting", "1", "A", c.path));
        EXPECT_FALSE(ini.CheckIniFile(c.path));
        EXPECT_EQ(NamesIn(dir.str()), before);
        EXPECT_FALSE(fs::is_regular_file(c.path));
        EXPECT_EQ(ini.LastWriteFailure().kind, WriteFailureKind::Other);
        EXPECT_EQ(ini.LastWriteFailure().reason, std::strerror(c.error));
    }
    EXPECT_TRUE(fs::is_empty(readOnlyFolder));
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(IniFileAccessTest, ReplacementKeepsPermissionsAndLeavesNoTemporaryFile) {
    WriteBytes(IniPath(), "[Setting]\r\nA=1\r\n");
    fs::permissions(IniPath(), static_cast<fs::perms>(0640));
    const ino_t before = InodeOf(IniPath());
    ASSERT_TRUE(ini.PutIni("Setting", "2", "A"));
    EXPECT_EQ(ReadBytes(IniPath()), "[Setting]\r\nA=2\r\n");
    EXPECT_EQ(ModeOf(IniPath()), 0640u);
    EXPECT_NE(InodeOf(IniPath()), before) << "the file was not replaced in one step";
    EXPECT_EQ(NamesIn(dir.str()), std::set<std::string>{"VornackBuilder.ini"});
}

TEST_F(IniFileAccessTest, FolderThatTakesNoNewFileGetsItsFileRewrittenInPlace) {
    const std::string folder = dir / "ro";
    fs::create_directory(folder);
    const std::string path = folder + "/x.ini";
    WriteBytes(path, "[Setting]\r\nA=1\r\n; tail\r\n");
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    const ino_t before = InodeOf(path);
    ASSERT_TRUE(ini.PutIni("Setting", "22", "A", path));
    EXPECT_EQ(ReadBytes(path), "[Setting]\r\nA=22\r\n; tail\r\n");
    ASSERT_TRUE(ini.PutIni("Setting", "", "A", path));  // shorter: the old tail must go
    EXPECT_EQ(ReadBytes(path), "[Setting]\r\nA=\r\n; tail\r\n");
    EXPECT_EQ(InodeOf(path), before);
    EXPECT_EQ(NamesIn(folder), std::set<std::string>{"x.ini"});
}

TEST_F(IniFileAccessTest, LinkIsWrittenThroughToItsTarget) {
    fs::create_directory(dir / "real");
    const std::string target = dir / "real/settings.ini";
    WriteBytes(target, "[Setting]\r\nA=1\r\n");
    fs::permissions(target, static_cast<fs::perms>(0640));
    fs::create_symlink("real/settings.ini", IniPath());
    ASSERT_TRUE(ini.PutIni("Setting", "2", "A"));
    EXPECT_TRUE(fs::is_symlink(IniPath()));
    EXPECT_EQ(ReadBytes(target), "[Setting]\r\nA=2\r\n");
    EXPECT_EQ(ModeOf(target), 0640u);
    EXPECT_EQ(NamesIn(dir / "real"), std::set<std::string>{"settings.ini"});
}

// Writes past the file-size limit fail as on a full disk.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

  private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

TEST_F(IniFileAccessTest, FullDiskLeavesTheOldFile) {
    const std::string original =
        "[Other]\r\nKeep=me\r\n[Setting]\r\nA=" + std::string(500, 'x') + "\r\nB=1\r\n";
    WriteBytes(IniPath(), original);
    bool ok = true;
    {
        FileSizeLimit limit(2048);
        ok = ini.PutIni("Setting", std::string(4000, 'y'), "A");
    }
    EXPECT_FALSE(ok);
    EXPECT_EQ(ReadBytes(IniPath()), original);
    EXPECT_EQ(NamesIn(dir.str()), std::set<std::string>{"VornackBuilder.ini"});
    EXPECT_EQ(ini.LastWriteFailure().reason, std::strerror(EFBIG));
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
