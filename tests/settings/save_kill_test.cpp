// A save killed at random points: the settings file must always load, with every key holding
// a whole old or new value and every other line as it was.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "codec/codec.h"
#include "fakes.h"
#include "platform/program_folder.h"
#include "save_rounds.h"
#include "settings/api_ini_file_access.h"
#include "settings/ini_setting.h"
#include "temp_dir.h"

namespace vb::settings {
namespace {

namespace fs = std::filesystem;

const char* const kKeys[] = {"PrevServer",    "PrevTitle",     "SrcPath",    "MakePageNum",
                             "PagePerSrcNum", "ReplaceTarget", "ReplaceText"};
constexpr int kKeyCount = 7;

using test_rounds::RoundOf;
using test_rounds::ValueFor;

// Saves round after round, starting with the given key of the given round.
[[noreturn]] void SaveForever(int round, int key) {
    test::FakeMessageBox boxes;
    IniFileAccess ini(boxes);
    for (;; ++round, key = 0)
        for (; key < kKeyCount; ++key)
            if (!ini.PutIni(kSettingSection, ValueFor(round, key), kKeys[key])) _exit(2);
}

TEST(SaveKillTest, KilledSaveAlwaysLeavesALoadableFile) {
    test::TempDir dir;
    platform::SetProgramFolderForTesting(dir.str());
    const std::string path = IniFileAccess::GetIniPath();
    const std::string before = "; hand-written\r\n[Other]\r\nA=1\r\n[Setting]\r\nServer1=h u p\r\n";
    const std::string after = "\r\n[Tail]\r\nB=2\r\n";
    std::string body;
    for (int key = 0; key < kKeyCount; ++key)
        body += std::string(kKeys[key]) + "=" + ValueFor(0, key) + "\r\n";
    test::WriteBytes(path, before + codec::cp932::Encode(body) + after);
    fs::permissions(path, static_cast<fs::perms>(0640));

    test::FakeMessageBox boxes;
    std::mt19937 random(12345);
    int nextRound = 1;
    int nextKey = 0;
    int mixedStates = 0;
    for (int attempt = 0; attempt < 120; ++attempt) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) SaveForever(nextRound, nextKey);
        ::usleep(static_cast<useconds_t>(random() % 12000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself: " << status;

        IniFileAccess ini(boxes);
        std::vector<int> rounds;
        for (int key = 0; key < kKeyCount; ++key) {
            std::string value;
            ASSERT_TRUE(ini.GetIni(kSettingSection, value, kKeys[key])) << kKeys[key];
            rounds.push_back(RoundOf(value, key));
            ASSERT_GE(rounds.back(), 0) << "torn value of " << kKeys[key] << ": " << value;
        }
        // Keys are written in order, so earlier keys are as new as later ones, at most one
        // round ahead.
        ASSERT_TRUE(std::is_sorted(rounds.rbegin(), rounds.rend()));
        ASSERT_LE(rounds.front() - rounds.back(), 1);
        if (rounds.front() != rounds.back()) ++mixedStates;

        const std::string bytes = test::ReadBytes(path);
        ASSERT_TRUE(bytes.starts_with(before)) << "lines before the section changed";
        ASSERT_TRUE(bytes.ends_with(after)) << "lines after the section changed";
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        ASSERT_EQ(st.st_mode & 0777, 0640u);
        // The next writer goes on where this one was killed.
        const auto older = std::find(rounds.begin(), rounds.end(), rounds.back());
        nextKey = rounds.front() == rounds.back() ? 0 : static_cast<int>(older - rounds.begin());
        nextRound = rounds.front() + (nextKey == 0 ? 1 : 0);
    }
    RecordProperty("MixedStates", mixedStates);
    RecordProperty("Rounds", nextRound);
    platform::SetProgramFolderForTesting("");
}

}  // namespace
}  // namespace vb::settings
