// A write-out ended at random moments by TerminateProcess: whatever the moment, no file
// outside the chosen server's output folder has changed, and the output folder holds nothing
// but page files and the index of this run (or is missing, when the kill fell between
// deleting and re-creating it).
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <string>

#include "builder/messages.h"
#include "child_process_win32.h"
#include "codec/codec.h"
#include "hostile_fixture.h"
#include "platform/native_path.h"
#include "platform/own_name.h"
#include "platform/program_folder.h"
#include "platform/wide_text.h"

namespace vb::test {
namespace {

namespace fs = std::filesystem;
using ::testing::IsEmpty;

constexpr const char* kRunCase = "WriteOutKillWin32.DISABLED_RunsTheWriteOut";

// The tree without the output folder and what a run killed while deleting it may leave
// beside it: the folder moved aside, which the next run's deletion removes.
Tree OutsideTheOutputFolder(const Tree& tree) {
    Tree outside = Without(tree, "local/srv");
    std::erase_if(outside, [](const auto& entry) {
        return entry.first.starts_with("local/srv" + std::string(platform::kOwnNameMark) +
                                       "deleting-");
    });
    return outside;
}

// A name the run itself gives: a page file or the index.
bool IsOwnFile(const std::string& name) {
    if (name == "index.html") return true;
    if (name.size() != 13 || !name.starts_with("vor") || !name.ends_with(".html")) return false;
    return name.find_first_not_of("0123456789abcdef", 3) == 8;
}

// The run, in a child process of this test program: starts the window in the program folder
// it is given, signals the event it is given, writes out, and ends without closing the window
// (which would save the settings).
TEST(WriteOutKillWin32, DISABLED_RunsTheWriteOut) {
    const char* folder = std::getenv("VB_KILL_FOLDER");
    const char* started = std::getenv("VB_KILL_EVENT");
    ASSERT_TRUE(folder && started);
    platform::SetProgramFolderForTesting(folder, "VornackBuilder");
    FakeMessageBox boxes;  // answers the confirmation with yes
    CountingEventPump events;
    FakeDesktopShell shell;
    auto* window = new ui::frmVornack(ui::WindowServices{boxes, events, shell});
    window->Form_Load();
    SetEvent(OpenEventW(EVENT_MODIFY_STATE, FALSE, platform::WideFromUtf8(started).c_str()));
    window->mnuGo.RaiseClick();
    ExitProcess(window->txtLog.Text().ends_with(builder::msg::kLogFinished) ? 0 : 3);
}

class WriteOutKillWin32Test : public HostileTest {
  protected:
    WriteOutKillWin32Test() {
        const std::string name = "vb-write-out-" + std::to_string(GetCurrentProcessId());
        started_ = CreateEventW(nullptr, TRUE, FALSE, platform::WideFromUtf8(name).c_str());
        SetEnvironmentVariableW(L"VB_KILL_FOLDER", platform::WideFromUtf8(dir.str()).c_str());
        SetEnvironmentVariableW(L"VB_KILL_EVENT", platform::WideFromUtf8(name).c_str());
    }
    ~WriteOutKillWin32Test() override { CloseHandle(started_); }

    // Starts the write-out in a child; returns once the child is about to start the run.
    bool StartWriteOut(ChildProcess& child) {
        ResetEvent(started_);
        return child.StartCase(kRunCase) == 0 && WaitForSingleObject(started_, 30000) == 0;
    }

    HANDLE started_ = nullptr;
};

TEST_F(WriteOutKillWin32Test, KilledRunChangesNothingOutsideTheOutputFolder) {
    // A job that takes a while: many pages of several sources each.
    std::string longSource;
    for (int i = 0; i < 200; ++i) longSource += "ヴォルナックの行" + std::to_string(i) + "\r\n";
    WriteBytes(At("src/c.txt"), codec::cp932::Encode(longSource));
    auto settings = DefaultSettings();
    for (auto& line : settings) {
        if (line.starts_with("MakePageNum=")) line = "MakePageNum=200";
        if (line.starts_with("PagePerSrcNum=")) line = "PagePerSrcNum=5";
    }
    WriteSettings(settings);
    Started();  // whatever a start itself writes is written before the snapshot
    const Tree before = OutsideTheOutputFolder(Snapshot(dir.path()));

    // One run to the end, to learn how long a run takes here.
    ChildProcess whole;
    ASSERT_TRUE(StartWriteOut(whole));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(whole.Wait(60000), 0u);
    const long runMilliseconds =
        static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now() - start)
                              .count());
    ASSERT_EQ(OutputFiles("srv").size(), 201u);

    std::mt19937 random(4711);
    std::uniform_int_distribution<long> delay(0, runMilliseconds);
    int folderMissing = 0, partial = 0, finished = 0;
    for (int attempt = 0; attempt < 5; ++attempt) {
        ChildProcess child;
        ASSERT_TRUE(StartWriteOut(child)) << "attempt " << attempt;
        Sleep(static_cast<DWORD>(delay(random)));
        const unsigned long code = child.Kill();
        ASSERT_TRUE(code == ChildProcess::kKilledCode || code == 0) << code;

        ASSERT_THAT(Changed(before, OutsideTheOutputFolder(Snapshot(dir.path()))), IsEmpty())
            << "after a kill at attempt " << attempt;
        if (!fs::exists(platform::PathFromUtf8(At("local/srv")))) {
            ++folderMissing;
            continue;
        }
        const auto files = OutputFiles("srv");
        for (const auto& name : files)
            ASSERT_TRUE(IsOwnFile(name)) << name << " at attempt " << attempt;
        const bool complete = std::find(files.begin(), files.end(), "index.html") != files.end();
        ++(complete ? finished : partial);
    }
    // A whole run that empties the output folder clears what the killed runs left aside.
    fs::create_directories(platform::PathFromUtf8(At("local/srv")));
    ChildProcess last;
    ASSERT_TRUE(StartWriteOut(last));
    ASSERT_EQ(last.Wait(60000), 0u);
    EXPECT_THAT(Changed(before, Without(Snapshot(dir.path()), "local/srv")), IsEmpty());

    RecordProperty("RunMilliseconds", static_cast<int>(runMilliseconds));
    RecordProperty("FolderMissing", folderMissing);
    RecordProperty("Partial", partial);
    RecordProperty("Finished", finished);
    // The kills fell into the run, not all after it.
    EXPECT_GT(folderMissing + partial, 0);
}

}  // namespace
}  // namespace vb::test
