// A save ended at random points by TerminateProcess: the settings file must always load,
// with every key holding a whole value and the lines around the section as they were.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <random>
#include <string>

#include "platform/codec.h"
#include "platform/program_folder.h"
#include "platform/wide_text.h"
#include "settings/api_ini_file_access.h"
#include "temp_dir.h"

namespace vb::settings {
namespace {

const char* const kKeys[] = {"PrevServer", "PrevTitle", "SrcPath", "MakePageNum"};
constexpr int kKeyCount = 4;

// A value whose length changes from round to round, so that a torn write shows.
std::string ValueFor(int round, int key) {
    const std::size_t filler = static_cast<std::size_t>((round * 37 + key * 11) % 400);
    std::string value = "r" + std::to_string(round) + ":";
    for (std::size_t i = 0; i < filler; ++i) value += (i % 2 ? "x" : "あ");
    return value + ":end";
}

bool IsWholeValue(const std::string& value, int key) {
    return value.size() > 1 && value[0] == 'r' && value == ValueFor(std::atoi(&value[1]), key);
}

class SilentBoxes : public platform::MessageBoxService {
  public:
    platform::MsgResult Show(const std::string&, platform::MsgButtons, platform::MsgIcon,
                             const std::string&) override {
        return platform::MsgResult::OK;
    }
};

// The writer, run in a child process of this test program: saves until it is ended.
TEST(SaveKillWin32, DISABLED_SavesUntilKilled) {
    const char* folder = std::getenv("VB_SAVE_KILL_FOLDER");
    ASSERT_NE(folder, nullptr);
    platform::SetProgramFolderForTesting(folder);
    SilentBoxes boxes;
    IniFileAccess ini(boxes);
    for (int round = std::atoi(std::getenv("VB_SAVE_KILL_ROUND"));; ++round)
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
    test::WriteBytes(path, before + platform::cp932::Encode(body) + after);

    SetEnvironmentVariableW(L"VB_SAVE_KILL_FOLDER", platform::WideFromUtf8(dir.str()).c_str());
    std::wstring commandLine = L"\"" + platform::WideFromUtf8(platform::ExecutablePath()) +
                               L"\" --gtest_also_run_disabled_tests"
                               L" --gtest_filter=SaveKillWin32.DISABLED_SavesUntilKilled";
    std::mt19937 random(12345);
    SilentBoxes boxes;
    for (int attempt = 1; attempt <= 6; ++attempt) {
        SetEnvironmentVariableW(L"VB_SAVE_KILL_ROUND", std::to_wstring(attempt * 1000).c_str());
        const std::string last = test::ReadBytes(path);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION child{};
        ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                                   CREATE_NO_WINDOW, nullptr, nullptr, &startup, &child));
        // Once the writer has saved at least once, end it at a random moment of its saves.
        for (int wait = 0; wait < 1000 && test::ReadBytes(path) == last; ++wait) Sleep(10);
        Sleep(random() % 40);
        TerminateProcess(child.hProcess, 9);
        WaitForSingleObject(child.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(child.hProcess, &code);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
        ASSERT_EQ(code, 9u) << "the writer stopped by itself";

        IniFileAccess ini(boxes);
        for (int key = 0; key < kKeyCount; ++key) {
            std::string value;
            ASSERT_TRUE(ini.GetIni("Setting", value, kKeys[key]))
                << kKeys[key] << " in attempt " << attempt << "; the file holds "
                << (GetFileAttributesW(platform::WideFromUtf8(path).c_str()) ==
                            INVALID_FILE_ATTRIBUTES
                        ? std::string("nothing")
                        : std::to_string(test::ReadBytes(path).size()) + " bytes");
            ASSERT_TRUE(IsWholeValue(value, key)) << "torn value of " << kKeys[key];
        }
        const std::string bytes = test::ReadBytes(path);
        ASSERT_TRUE(bytes.starts_with(before)) << "lines before the section changed";
        ASSERT_TRUE(bytes.ends_with(after)) << "lines after the section changed";
    }
}

}  // namespace
}  // namespace vb::settings
