// A write-out killed at random moments: whatever the moment, no file outside the chosen
// server's output folder has changed, and the output folder holds nothing but page files
// and the index of this run (or is missing, when the kill fell between deleting and
// re-creating it).
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>

#include "codec/codec.h"
#include "hostile_fixture.h"
#include "platform/leftover_name.h"
#include "platform/own_name.h"

namespace vb::test {
namespace {

namespace fs = std::filesystem;
using ::testing::IsEmpty;

// A name the run itself gives: a page file or the index.
bool IsOwnFile(const std::string& name) {
    if (name == "index.html") return true;
    if (name.size() != 13 || !name.starts_with("vor") || !name.ends_with(".html")) return false;
    return name.find_first_not_of("0123456789abcdef", 3) == 8;
}

// The tree without what runs of this machine killed while deleting the old pages left aside.
Tree WithoutOwnAsides(Tree tree) {
    const std::string aside =
        "local/" + platform::OwnName("srv", "deleting-" + platform::ThisMachineTag() + "-");
    std::erase_if(tree, [&](const auto& entry) { return entry.first.starts_with(aside); });
    return tree;
}
std::size_t OwnAsides(const Tree& tree) { return tree.size() - WithoutOwnAsides(tree).size(); }

class WriteOutKillTest : public HostileTest {
  protected:
    // Starts the write-out in a child process; the child ends when the run has.
    pid_t StartWriteOut() {
        const pid_t child = fork();
        if (child == 0) {
            window->mnuGo.RaiseClick();
            _exit(window->txtLog.Text().ends_with("完了しますた。\r\n") ? 0 : 3);
        }
        return child;
    }
    // Runs a write-out to its end in a child process; true when it completed.
    bool WholeWriteOut() {
        int status = 0;
        return waitpid(StartWriteOut(), &status, 0) > 0 && WIFEXITED(status) &&
               WEXITSTATUS(status) == 0;
    }
};

TEST_F(WriteOutKillTest, KilledRunChangesNothingOutsideTheOutputFolder) {
    // A job that takes a while: many pages of several sources each.
    std::string longSource;
    for (int i = 0; i < 200; ++i) longSource += "ヴォルナックの行" + std::to_string(i) + "\r\n";
    WriteBytes(At("src/c.txt"), codec::cp932::Encode(longSource));
    auto& w = Started();
    w.txtMakePageNum.SetText("200");
    w.txtPagePerSrcNum.SetText("5");
    const Tree before = Without(Snapshot(dir.path()), "local/srv");

    // One run to the end, to learn how long a run takes here.
    const auto start = std::chrono::steady_clock::now();
    const pid_t whole = StartWriteOut();
    ASSERT_GT(whole, 0);
    int status = 0;
    ASSERT_EQ(waitpid(whole, &status, 0), whole);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    const auto runMicroseconds = std::chrono::duration_cast<std::chrono::microseconds>(
                                     std::chrono::steady_clock::now() - start)
                                     .count();
    ASSERT_EQ(OutputFiles("srv").size(), 201u);

    std::mt19937 random(4711);
    std::uniform_int_distribution<long> delay(0, runMicroseconds);
    int folderMissing = 0, partial = 0, finished = 0;
    for (int attempt = 0; attempt < 25; ++attempt) {
        const pid_t child = StartWriteOut();
        ASSERT_GT(child, 0);
        ::usleep(static_cast<useconds_t>(delay(random)));
        ::kill(child, SIGKILL);
        ASSERT_EQ(waitpid(child, &status, 0), child);

        ASSERT_THAT(Changed(before, WithoutOwnAsides(Without(Snapshot(dir.path()), "local/srv"))),
                    IsEmpty())
            << "after a kill at attempt " << attempt;
        if (!fs::exists(At("local/srv"))) {
            ++folderMissing;
            continue;
        }
        const auto files = OutputFiles("srv");
        for (const auto& name : files)
            ASSERT_TRUE(IsOwnFile(name)) << name << " at attempt " << attempt;
        const bool complete = std::find(files.begin(), files.end(), "index.html") != files.end();
        ++(complete ? finished : partial);
    }
    RecordProperty("FolderMissing", folderMissing);
    RecordProperty("Partial", partial);
    RecordProperty("Finished", finished);
    // The kills fell into the run, not all after it.
    EXPECT_GT(folderMissing + partial, 0);
    // What the killed runs left aside goes with the next run, which writes whole pages.
    ASSERT_TRUE(WholeWriteOut());
    EXPECT_EQ(OwnAsides(Snapshot(dir.path())), 0u);
    EXPECT_EQ(OutputFiles("srv").size(), 201u);
}

// A run ended after it moved the old pages aside, before their deletion ended: the next run
// removes them and writes whole pages. Folders named like leftovers of another machine, of
// another program or of an older version stay, with what the user put in them.
TEST_F(WriteOutKillTest, OnlyThisMachinesLeftoversOfEndedRunsGo) {
    Started().txtMakePageNum.SetText("20");
    ASSERT_TRUE(WholeWriteOut());
    const pid_t ended = fork();  // a run that ended after it moved the old pages aside
    if (ended == 0) _exit(fso->MoveFolderAside(At("local/srv")).empty() ? 3 : 0);
    int status = 0;
    ASSERT_EQ(waitpid(ended, &status, 0), ended);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(OwnAsides(Snapshot(dir.path())), 22u);  // the folder, its pages and index
    const std::string gone = std::to_string(ended);
    const std::string notOurs[] = {
        platform::OwnName("srv", "deleting-0123456789abcdef-" + gone + "-5"),
        "srv ~OtherProgram-deleting-" + platform::ThisMachineTag() + "-" + gone + "-5",
        "srv.deleting-" + gone + "-77"};
    for (const auto& name : notOurs) {
        fs::create_directories(At("local/" + name));
        WriteBytes(At("local/" + name + "/user.txt"), "the user's");
    }

    ASSERT_TRUE(WholeWriteOut());
    EXPECT_EQ(OwnAsides(Snapshot(dir.path())), 0u);
    const auto files = OutputFiles("srv");
    EXPECT_EQ(files.size(), 21u);
    for (const auto& name : files) EXPECT_TRUE(IsOwnFile(name)) << name;
    for (const auto& name : notOurs)
        EXPECT_EQ(ReadBytes(At("local/" + name + "/user.txt")), "the user's") << name;
}

}  // namespace
}  // namespace vb::test
