// API_IniFileAccess on Windows: the file's attributes, and a settings file that another
// program holds open. Sharing is decided per open handle, so a handle of this test stands
// for the other program.
#include <windows.h>

#include "child_process_win32.h"
#include "ini_file_access_fixture.h"
#include "platform/leftover_name.h"
#include "platform/wide_text.h"

namespace vb::settings {
namespace {

using platform::WideFromUtf8;

DWORD AttributesOf(const std::string& path) {
    return GetFileAttributesW(WideFromUtf8(path).c_str());
}

// An open handle to the file, as an editor or a virus scanner keeps one.
class HeldOpen {
  public:
    HeldOpen(const std::string& path, DWORD share)
        : h_(CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0,
                         nullptr)) {}
    ~HeldOpen() {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    bool ok() const { return h_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE h_;
};

TEST_F(IniFileAccessTest, ReplacementKeepsTheHiddenAttributeAndLeavesNoTemporaryFile) {
    WriteBytes(IniPath(), "[Setting]\r\nA=1\r\n");
    ASSERT_TRUE(SetFileAttributesW(WideFromUtf8(IniPath()).c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(ini.PutIni("Setting", "2", "A"));
    EXPECT_EQ(ReadBytes(IniPath()), "[Setting]\r\nA=2\r\n");
    EXPECT_TRUE(AttributesOf(IniPath()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(NamesIn(dir.str()), std::set<std::string>{"VornackBuilder.ini"});
}

// An editor that keeps the file open (sharing reading and writing, not deletion) stops the
// rename over it; after the retries the file is rewritten where it is.
TEST_F(IniFileAccessTest, AFileAnotherProgramHoldsOpenIsRewrittenInPlace) {
    WriteBytes(IniPath(), "[Setting]\r\nA=1\r\n; tail\r\n");
    HeldOpen editor(IniPath(), FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(editor.ok());
    ASSERT_TRUE(ini.PutIni("Setting", "", "A"));  // shorter: the old tail must go
    EXPECT_EQ(ReadBytes(IniPath()), "[Setting]\r\nA=\r\n; tail\r\n");
    EXPECT_EQ(NamesIn(dir.str()), std::set<std::string>{"VornackBuilder.ini"});
}

// A program that holds the file without sharing writing: the save fails with the system's
// reason and leaves the file and the folder as they were.
TEST_F(IniFileAccessTest, AFileLockedByAnotherProgramFailsWithTheSystemsReason) {
    const std::string original = "[Setting]\r\nA=1\r\n";
    WriteBytes(IniPath(), original);
    HeldOpen locker(IniPath(), FILE_SHARE_READ);
    ASSERT_TRUE(locker.ok());
    EXPECT_FALSE(ini.PutIni("Setting", "2", "A"));
    EXPECT_EQ(ini.LastWriteFailure().kind, WriteFailureKind::Other);
    EXPECT_FALSE(ini.LastWriteFailure().reason.empty());
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(ReadBytes(IniPath()), original);
    EXPECT_EQ(NamesIn(dir.str()), std::set<std::string>{"VornackBuilder.ini"});
}

// A save ended half-way left its temporary file (of this version's form, or of the earlier one
// with a counter and the clock); the next save removes it. A user's files
// that only look like one stay: a dated copy, three numbers, the form of names before the
// marker, another machine's save, a save still running.
TEST_F(IniFileAccessTest, SaveRemovesOnlyTheTemporaryFilesThatEndedSavesHereLeft) {
    test::ChildProcess child;  // runs no case and ends at once
    ASSERT_EQ(child.StartCase("None.DISABLED_None"), 0u);
    ASSERT_EQ(child.Wait(30000), 0u);
    const auto temp = [](unsigned long pid,
                         const std::string& machine = platform::ThisMachineTag()) {
        return "VornackBuilder.ini.vbsave-" + machine + "-" + std::to_string(pid) + "-1-";
    };
    const std::string pid = std::to_string(child.Id());
    const std::set<std::string> kept = {"VornackBuilder.ini",
                                        "VornackBuilder.ini.2024-12-08.tmp",
                                        "VornackBuilder.ini.1-2-3.tmp",
                                        "VornackBuilder.ini." + pid + "-1-7.tmp",
                                        temp(child.Id(), "0123456789abcdef") + "7.tmp",
                                        temp(GetCurrentProcessId()) + "7.tmp",
                                        temp(child.Id()) + "7.tmp.bak",
                                        temp(child.Id()) + ".tmp",
                                        temp(child.Id()) + "07.tmp"};
    for (const std::string& name : kept) WriteBytes(dir / name, "[Setting]\r\n");
    WriteBytes(dir / (temp(child.Id()) + "7.tmp"), "[Setting]\r\nA=half");
    WriteBytes(
        dir / ("VornackBuilder.ini.vbsave-" + platform::ThisMachineTag() + "-" + pid + "-7.tmp"),
        "[Setting]\r\nA=half");  // this version's form: one serial
    ASSERT_TRUE(ini.PutIni("Setting", "1", "A"));
    EXPECT_EQ(NamesIn(dir.str()), kept);
}

}  // namespace
}  // namespace vb::settings
