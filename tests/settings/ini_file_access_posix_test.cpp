// API_IniFileAccess on Linux: modes, inodes, links, the file-size limit, and the file of
// another user.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <tuple>

#include "ini_file_access_fixture.h"
#include "platform/leftover_name.h"
#include "platform/writability.h"
#include "settings_window.h"

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

// A save killed half-way left its temporary file (of this version's form, or of the earlier
// mkostemp form); the next save removes it. A user's files that only look like one stay: a
// dated backup, the form of names before the marker, another machine's (or container's)
// save, a save still running, a serial of three numbers.
TEST_F(IniFileAccessTest, SaveRemovesOnlyTheTemporaryFilesThatEndedSavesHereLeft) {
    const pid_t ended = ::fork();
    if (ended == 0) ::_exit(0);
    ASSERT_EQ(::waitpid(ended, nullptr, 0), ended);
    const auto temp = [](pid_t pid, const std::string& machine = platform::ThisMachineTag()) {
        return ".VornackBuilder.ini.vbsave-" + machine + "-" + std::to_string(pid);
    };
    const std::string pid = std::to_string(ended);
    const std::set<std::string> kept = {"VornackBuilder.ini",
                                        ".VornackBuilder.ini.20241208.backup",
                                        ".VornackBuilder.ini." + pid + ".a1B2c3",
                                        temp(ended, "0123456789abcdef") + ".a1B2c3",
                                        temp(::getpid()) + ".a1B2c3",
                                        temp(::getpid()) + "-123",
                                        temp(ended) + ".a1B2c",
                                        temp(ended) + ".a1B2c3.bak",
                                        temp(ended) + "-1-2-3"};
    for (const std::string& name : kept) WriteBytes(dir / name, "[Setting]\r\n");
    WriteBytes(dir / (temp(ended) + ".a1B2c3"), "[Setting]\r\nA=half");
    WriteBytes(dir / (temp(ended) + "-123"), "[Setting]\r\nA=half");
    ASSERT_TRUE(ini.PutIni("Setting", "1", "A"));
    EXPECT_EQ(NamesIn(dir.str()), kept);
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

constexpr uid_t kUnusedId = 54321;

// Runs check in a child process as an ordinary user (kUnusedId, with a group of its own and
// the given further group) and returns its exit code.
int AsAnotherUser(const std::function<int()>& check, gid_t alsoIn = kUnusedId) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(1, &alsoIn) != 0 || ::setgid(kUnusedId) != 0 || ::setuid(kUnusedId) != 0)
            ::_exit(100);
        ::_exit(check());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 200;
}

// A settings file shared in a group, saved by another member of the group, stays its owner's
// and the group's with its mode, in a plain folder and in one with the sticky bit (where the
// folder refuses to let the file be replaced).
TEST_F(IniFileAccessTest, AGroupSharedFileKeepsOwnerGroupAndModeWhenAnotherMemberSaves) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as two users of one group";
    constexpr uid_t kOwner = 54320;
    constexpr gid_t kGroup = 54330;
    for (const auto folderMode : {fs::perms::all, fs::perms::all | fs::perms::sticky_bit}) {
        WriteBytes(IniPath(), "[Setting]\r\nA=1\r\n");
        ASSERT_EQ(::chown(IniPath().c_str(), kOwner, kGroup), 0);
        fs::permissions(IniPath(), static_cast<fs::perms>(0660));
        fs::permissions(dir.path(), folderMode);

        EXPECT_EQ(AsAnotherUser([&] { return ini.PutIni("Setting", "2", "A") ? 0 : 1; }, kGroup),
                  0);
        EXPECT_EQ(ReadBytes(IniPath()), "[Setting]\r\nA=2\r\n");
        struct stat st {};
        ASSERT_EQ(::stat(IniPath().c_str(), &st), 0);
        EXPECT_EQ(std::tuple(st.st_uid, st.st_gid, st.st_mode & 07777),
                  std::tuple(kOwner, kGroup, 0660u));
        EXPECT_EQ(NamesIn(dir.str()), std::set<std::string>{"VornackBuilder.ini"});
    }
}

// A settings file known by a second name (a hard link) is still one file after a save, and
// the rewrite in place that keeps it so loses nothing when one of its steps fails.
TEST_F(IniFileAccessTest, AHardLinkedFileKeepsItsLink) {
    WriteBytes(IniPath(), "");
    fs::create_hard_link(IniPath(), dir / "shared.ini");
    EachStepOfASaveFailingInTurn();
    EXPECT_EQ(fs::hard_link_count(IniPath()), 2u);
    EXPECT_EQ(ReadBytes(dir / "shared.ini"), ReadBytes(IniPath()));
}

TEST_F(IniFileAccessTest, AFileOfAnotherOwnerIsWriteProtectedThoughItsFolderIsWritable) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to hand the file to another user";
    const std::string original = "[Setting]\r\nA=1\r\n";
    WriteBytes(IniPath(), original);
    fs::permissions(IniPath(), static_cast<fs::perms>(0644));
    fs::permissions(dir.path(), fs::perms::all);  // anyone may add files beside it

    const int code = AsAnotherUser([&] {
        if (platform::MayWrite(IniPath())) return 1;
        if (ini.PutIni("Setting", "2", "A")) return 2;
        if (ini.LastWriteFailure().kind != WriteFailureKind::WriteProtected) return 3;
        return boxes.shown().size() == 1 ? 0 : 4;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadBytes(IniPath()), original);
    struct stat st {};
    ASSERT_EQ(::stat(IniPath().c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 0u) << "the file changed owner";
}

// Who may use the file: its mode and every extended attribute (its access list among them).
std::string AccessOf(const std::string& path) {
    std::string names(65536, '\0'), value(65536, '\0'), text = std::to_string(ModeOf(path));
    names.resize(std::max<ssize_t>(::listxattr(path.c_str(), names.data(), 65536), 0));
    std::map<std::string, std::string> sorted;
    for (const char* name = names.data(); *name; name += std::strlen(name) + 1)
        sorted[name] = value.substr(
            0, std::max<ssize_t>(::getxattr(path.c_str(), name, value.data(), 65536), 0));
    for (const auto& [name, bytes] : sorted) text += " " + name + "=" + bytes;
    return text;
}

// A file at 0640 whose access list lets one more user read and write it (its group bits are
// now the list's mask, rw), with a note of its user's, keeps all three through a save from
// the window, and through saves any step of which fails; a file without a list takes none
// from its folder's default list, which would let that user read it. Without root the lists
// are compared; whether that user can read the file is tried only as root.
TEST_F(IniFileAccessTest, ASaveKeepsTheAccessListAndGivesNone) {
    const bool root = ::geteuid() == 0;
    const std::string user = std::to_string(kUnusedId), file = "'" + IniPath() + "'";
    WriteBytes(IniPath(), "[Setting]\r\n");
    fs::permissions(IniPath(), static_cast<fs::perms>(0640));
    fs::permissions(dir.path(), fs::perms::all);  // the other user may reach the file
    if (std::system(("setfacl -m u:" + user + ":rw " + file).c_str()) != 0 ||
        ::setxattr(IniPath().c_str(), "user.note", "kept", 4, 0) != 0)
        GTEST_SKIP() << "no setfacl (Debian package acl), or no access lists or user attributes "
                     << "on the file system of " << dir.str();
    test::SettingsWindow window;
    const auto saveKeepsAccess = [&](bool otherMayRead) {
        const std::string access = AccessOf(IniPath());
        // The old file held open: its inode cannot be reused by the save's replacement,
        // and it is left without a name only when it was replaced.
        const int old = ::open(IniPath().c_str(), O_RDONLY | O_CLOEXEC);
        PutIniSetting(window.Fields(), ini, boxes);
        struct stat held {};
        EXPECT_TRUE(::fstat(old, &held) == 0 && held.st_nlink == 0)
            << "rewritten in place, not replaced";
        ::close(old);
        EXPECT_EQ(AccessOf(IniPath()), access);
        if (root)
            EXPECT_EQ(AsAnotherUser([&] { return ::access(IniPath().c_str(), R_OK) == 0; }),
                      otherMayRead);
    };
    saveKeepsAccess(true);
    EachStepOfASaveFailingInTurn([&] { return AccessOf(IniPath()); });
    const std::string folderList = "setfacl -d -m u:" + user + ":rw '" + dir.str() + "'";
    ASSERT_EQ(std::system(("setfacl -b " + file + " && " + folderList).c_str()), 0);
    saveKeepsAccess(false);
}

}  // namespace
}  // namespace vb::settings
