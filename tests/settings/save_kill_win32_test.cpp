// A save ended at random points by TerminateProcess: the settings file must always load,
// with every key holding a whole value and the lines around the section as they were.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <random>
#include <string>

#include "child_process_win32.h"
#include "codec/codec.h"
#include "fakes.h"
#include "platform/program_folder.h"
#include "platform/save/whole_file.h"
#include "platform/wide_text.h"
#include "save_rounds.h"
#include "settings/api_ini_file_access.h"
#include "temp_dir.h"

namespace vb::settings {
namespace {

const char* const kKeys[] = {"PrevServer", "PrevTitle", "SrcPath", "MakePageNum"};
constexpr int kKeyCount = 4;

using test_rounds::RoundOf;
using test_rounds::ValueFor;

// The file's bytes, or "" while it cannot be read: a save in the other process opens the
// file without sharing for a moment.
std::string BytesNow(const std::string& path) { return platform::ReadWholeFile(path).bytes; }

// The writer, run in a child process of this test program: saves until it is ended.
TEST(SaveKillWin32, DISABLED_SavesUntilKilled) {
    const char* folder = std::getenv("VB_SAVE_KILL_FOLDER");
    const char* firstRound = std::getenv("VB_SAVE_KILL_ROUND");
    ASSERT_TRUE(folder && firstRound);
    platform::SetProgramFolderForTesting(folder);
    test::FakeMessageBox boxes;
    IniFileAccess ini(boxes);
    for (int round = std::atoi(firstRound);; ++round)
        for (int key = 0; key < kKeyCount; ++key)
            ASSERT_TRUE(ini.PutIni("Setting", ValueFor(round, key), kKeys[key]));
}

TEST(SaveKillWin32, ASaveEndedByTerminateProcessLeavesALoadableFile) {
    test::TempDir dir;
    platform::SetProgramFolderForTesting(dir.str());
    const std::string path = IniFileAccess::GetIniPath();
    const std::string before = "; hand-written\r\n[Setting]\r\nServer1=h u p\r\n";
    const std::string after = "\r\n[Tail]\r\nB=2\r\n";
    std::string body;
    for (int key = 0; key < kKeyCount; ++key)
        body += std::string(kKeys[key]) + "=" + ValueFor(0, key) + "\r\n";
    test::WriteBytes(path, before + codec::cp932::Encode(body) + after);

    // The child inherits the environment: its folder and the first round it saves.
    SetEnvironmentVariableW(L"VB_SAVE_KILL_FOLDER", platform::WideFromUtf8(dir.str()).c_str());
    std::mt19937 random(12345);
    test::FakeMessageBox boxes;
    for (int attempt = 1; attempt <= 4; ++attempt) {
        SetEnvironmentVariableW(L"VB_SAVE_KILL_ROUND", std::to_wstring(attempt * 1000).c_str());
        const std::string last = test::ReadBytes(path);
        test::ChildProcess writer;
        ASSERT_EQ(writer.StartCase("SaveKillWin32.DISABLED_SavesUntilKilled"), 0u)
            << "starting the writer";
        // Once the writer has saved at least once, end it at a random moment of its saves.
        for (int wait = 0; wait < 1000 && writer.Running(); ++wait) {
            const std::string now = BytesNow(path);
            if (!now.empty() && now != last) break;
            Sleep(10);
        }
        Sleep(random() % 40);
        ASSERT_EQ(writer.Kill(), test::ChildProcess::kKilledCode) << "the writer stopped by itself";

        IniFileAccess ini(boxes);
        for (int key = 0; key < kKeyCount; ++key) {
            std::string value;
            ASSERT_TRUE(ini.GetIni("Setting", value, kKeys[key]))
                << kKeys[key] << " in attempt " << attempt << "; the file holds "
                << BytesNow(path).size() << " bytes";
            ASSERT_GE(RoundOf(value, key), 0) << "torn value of " << kKeys[key];
        }
        const std::string bytes = test::ReadBytes(path);
        ASSERT_TRUE(bytes.starts_with(before)) << "lines before the section changed";
        ASSERT_TRUE(bytes.ends_with(after)) << "lines after the section changed";
    }
    platform::SetProgramFolderForTesting("");
}

}  // namespace
}  // namespace vb::settings
