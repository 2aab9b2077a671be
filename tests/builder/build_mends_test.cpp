// Runs that the plain build would get wrong: each test fails without its guard.
#include <atomic>
#include <filesystem>

#include "build_fixture.h"
#include "builder/messages.h"
#include "codec/hex_hash.h"
#include "platform/own_name.h"
#include "platform/program_folder.h"

namespace vb::test {
namespace {

namespace fs = std::filesystem;
namespace msg = builder::msg;
using platform::MsgIcon;

const std::string kStarted = msg::kLogStarted;
const std::string kFinished = msg::kLogFinished;

class BuildMendsTest : public BuildTest {
  protected:
    BuildMendsTest() {
        AddSource("a.txt", "aTARGET");
        WriteBytes(OutFolder() + "/keep.html", "keep");
    }
    // Makes the temporary-name generator hand out these names, then repeat the last one.
    void NamesInOrder(std::vector<std::string> names) {
        fso.tempName = [names = std::move(names), i = std::size_t{0}]() mutable {
            return names[std::min(i++, names.size() - 1)];
        };
    }
    std::vector<std::string> Pages() const {
        auto names = OutputFiles();
        std::erase(names, "index.html");
        return names;
    }
    // True when the run stopped with this warning and left the output folder alone.
    void ExpectRefusedUntouched(const char* message, const std::string& log) {
        EXPECT_EQ(BoxTexts().back(), message);
        EXPECT_EQ(msgBox.shown().back().icon, MsgIcon::Exclamation);
        EXPECT_EQ(OutputFiles(), std::vector<std::string>{"keep.html"});
        EXPECT_EQ(txtLog.Text(), log);
    }
};

TEST_F(BuildMendsTest, RepeatedPageNamesAreDrawnAgain) {
    NamesInOrder({"radAAAAA.tmp", "radAAAAA.tmp", "radB0B0B.tmp", "radAAAAA.tmp", "radCCCCC.tmp"});
    builder.Run();
    EXPECT_EQ(OutputFiles(), (std::vector<std::string>{"index.html", "voraaaaa.html",
                                                       "vorb0b0b.html", "vorccccc.html"}));
    const std::string index = Output("index.html");
    for (const char* name : {"voraaaaa.html", "vorb0b0b.html", "vorccccc.html"})
        EXPECT_NE(index.find(name), std::string::npos) << name;
}

TEST_F(BuildMendsTest, EachIndexEntryCarriesTheCaptionOfItsOwnFile) {
    AddSource("b.txt", "bTARGET");
    // Names drawn in falling order, so the folder lists the pages last made first.
    std::vector<std::string> names;
    for (const char* digits : {"F", "E", "D", "C", "B", "A", "9", "8"})
        names.push_back("rad0000" + std::string(digits) + ".tmp");
    NamesInOrder(names);
    txtMakePageNum.SetText("8");
    builder.Run();

    std::string made, entries;
    for (const auto& name : Pages()) {
        const char source = Output(name) == Page("a" + std::string(kReplacement)) ? 'a' : 'b';
        made += source;
        entries += std::string(1, source) + "TARGET<a href='" + name + "'></a><br>\r\n";
    }
    ASSERT_NE(made, std::string(made.rbegin(), made.rend()))
        << "the picks must differ between the two orders for this test to tell them apart";
    EXPECT_EQ(Output("index.html"), Page(entries));
}

TEST_F(BuildMendsTest, CountsThatCannotRunAreRefusedBeforeAnythingIsTouched) {
    const struct {
        const char* pages;
        const char* perPage;
        const char* message;
    } cases[] = {{"0", "1", msg::kBadMakePageNum},    {"-3", "1", msg::kBadMakePageNum},
                 {"3e9", "1", msg::kBadMakePageNum},  {"1048577", "1", msg::kBadMakePageNum},
                 {"-0.4", "1", msg::kBadMakePageNum}, {"1", "3e9", msg::kBadPagePerSrcNum}};
    for (const auto& c : cases) {
        txtMakePageNum.SetText(c.pages);
        txtPagePerSrcNum.SetText(c.perPage);
        builder.Run();
        ExpectRefusedUntouched(c.message, "old log\r\n");
    }
    EXPECT_EQ(events.yields(), 0);
}

TEST_F(BuildMendsTest, CountThatRoundsUpMakesThatManyPagesWithTheBarFollowing) {
    std::vector<std::pair<float, float>> progress;
    // A wait's pulses tell the bar its same value again (ProgressBar::KeepShown): one each.
    pbrProcess.SetObserver([&](forms::Change) {
        const std::pair shown{pbrProcess.Max(), pbrProcess.Value()};
        if (progress.empty() || progress.back() != shown) progress.push_back(shown);
    });
    txtMakePageNum.SetText("3.5");
    builder.Run();
    EXPECT_EQ(Pages().size(), 4u);
    EXPECT_EQ(progress,
              (std::vector<std::pair<float, float>>{{4, 0}, {4, 1}, {4, 2}, {4, 3}, {4, 4}}));
    EXPECT_EQ(txtLog.Text(), kStarted + kFinished);
}

TEST_F(BuildMendsTest, ThousandsSeparatorCountsAsValidated) {
    txtMakePageNum.SetText("1,000");
    builder.Run();
    EXPECT_EQ(Pages().size(), 1000u);
    EXPECT_EQ(pbrProcess.Max(), 1000.0f);
}

TEST_F(BuildMendsTest, ServerNamesOutsideTheOutputFolderDeleteNothing) {
    for (const char* server : {"..", "", "../srv"}) {
        cboServer.AddItem(server);
        cboServer.SetListIndex(cboServer.ListCount() - 1);
        builder.Run();
        ExpectRefusedUntouched(msg::kServerNameNotFolder, "old log\r\n");
        EXPECT_TRUE(fs::exists(tmp / "template.html"));
        EXPECT_TRUE(fs::exists(tmp / "src/a.txt"));
    }
}

TEST_F(BuildMendsTest, SourceInsideTheOutputFolderIsRefused) {
    fs::create_directory(OutFolder() + "/in");
    WriteBytes(OutFolder() + "/in/s.txt", "TARGET");
    txtSrcPath.SetText(OutFolder() + "/in");
    builder.Run();
    EXPECT_EQ(BoxTexts().back(), msg::kSrcInsideOutput);
    EXPECT_EQ(ReadBytes(OutFolder() + "/in/s.txt"), "TARGET");
    EXPECT_EQ(txtLog.Text(), "old log\r\n");
}

TEST_F(BuildMendsTest, SourcesGoneBeforeTheListingStopTheRunBeforeDeleting) {
    const auto removeSources = [&] { fs::remove(tmp / "src/a.txt"); };
    // While the confirmation is open.
    msgBox.OnNextShow(removeSources);
    builder.Run();
    ExpectRefusedUntouched(msg::kNoSources, kStarted);
    EXPECT_EQ(events.yields(), 1);

    // During the first yield of the next run.
    AddSource("a.txt", "aTARGET");
    events.AtYield(1, removeSources);
    builder.Run();
    ExpectRefusedUntouched(msg::kNoSources, kStarted);
    EXPECT_EQ(events.yields(), 2);
}

TEST_F(BuildMendsTest, FieldsChangedDuringTheFirstYieldAreCheckedAgain) {
    cboServer.AddItem("..");
    events.AtYield(1, [&] { cboServer.SetListIndex(2); });
    builder.Run();
    ExpectRefusedUntouched(msg::kServerNameNotFolder, kStarted);

    fs::create_directory(OutFolder() + "/in");
    WriteBytes(OutFolder() + "/in/s.txt", "TARGET");
    cboServer.SetListIndex(0);
    events.AtYield(1, [&] { txtSrcPath.SetText(OutFolder() + "/in"); });  // next run's first
    builder.Run();
    EXPECT_EQ(BoxTexts().back(), msg::kSrcInsideOutput);
    EXPECT_EQ(ReadBytes(OutFolder() + "/in/s.txt"), "TARGET");
}

TEST_F(BuildMendsTest, PageCountChangedDuringTheSecondYieldIsCheckedAgain) {
    events.AtYield(2, [&] { txtMakePageNum.SetText("5000000"); });
    builder.Run();
    EXPECT_EQ(BoxTexts().back(), msg::kBadMakePageNum);
    EXPECT_TRUE(OutputFiles().empty());
    EXPECT_EQ(txtLog.Text(), kStarted);
}

TEST_F(BuildMendsTest, WriteProtectedContentStopsTheRunBeforeDeleting) {
    WriteBytes(OutFolder() + "/other.html", "other");
    fs::permissions(OutFolder() + "/keep.html", fs::perms::owner_read | fs::perms::group_read);
    builder.Run();
    EXPECT_EQ(msgBox.shown().back().icon, MsgIcon::Critical);
    EXPECT_NE(BoxTexts().back().find(platform::JoinPath(OutFolder(), "keep.html")),
              std::string::npos);
    EXPECT_EQ(OutputFiles(), (std::vector<std::string>{"keep.html", "other.html"}));
    EXPECT_EQ(txtLog.Text(), kStarted);
}

TEST_F(BuildMendsTest, DeletingDoesNotFollowLinksOutOfTheOutputFolder) {
    fs::create_directory(tmp / "outside");
    WriteBytes(tmp / "outside/precious.txt", "precious");
    if (!test::MakeFolderLink(tmp / "outside", OutFolder() + "/link"))
        GTEST_SKIP() << "no folder links on this system (junctions: platform tests)";
    builder.Run();
    EXPECT_EQ(txtLog.Text(), kStarted + kFinished);
    EXPECT_EQ(ReadBytes(tmp / "outside/precious.txt"), "precious");
    EXPECT_FALSE(fs::exists(OutFolder() + "/keep.html"));
}

TEST_F(BuildMendsTest, MissingOutputFolderIsCreated) {
    fs::remove_all(OutFolder());
    builder.Run();
    EXPECT_EQ(Pages().size(), 3u);
    EXPECT_EQ(txtLog.Text(), kStarted + kFinished);
    EXPECT_EQ(events.yields(), 2);
}

TEST_F(BuildMendsTest, ServerSwitchedDuringTheSecondYieldKeepsPagesInTheEmptiedFolder) {
    fs::create_directory(tmp / "local/other");
    WriteBytes(tmp / "local/other/keep.html", "other");
    events.AtYield(2, [&] { cboServer.SetListIndex(1); });
    builder.Run();
    EXPECT_EQ(Pages().size(), 3u);
    EXPECT_EQ(std::distance(fs::directory_iterator(tmp / "local/other"), fs::directory_iterator()),
              1);
    EXPECT_EQ(ReadBytes(tmp / "local/other/keep.html"), "other");
}

TEST_F(BuildMendsTest, EmptySourceGivesAnEmptyPieceAndAWarning) {
    AddSource("a.txt", "");
    txtMakePageNum.SetText("1");
    txtPagePerSrcNum.SetText("2");
    builder.Run();
    EXPECT_EQ(Output(Pages()[0]), Page(""));  // no separator after an empty piece either
    const std::string warning =
        msg::kWarnMissingTargetBefore + (tmp / "src/a.txt") + msg::kWarnMissingTargetAfter;
    EXPECT_EQ(txtLog.Text(), kStarted + warning + warning + kFinished);
}

TEST_F(BuildMendsTest, FewerThanOneSourceAPageOpensNoSource) {
    std::atomic<int> reads = 0;  // the reads ahead run on a helper thread
    fso.beforeRead = [&](const std::string& path) { reads += path.ends_with("a.txt"); };
    txtMakePageNum.SetText("5000");
    txtPagePerSrcNum.SetText("-1");
    builder.Run();
    EXPECT_EQ(reads, 0);
    EXPECT_EQ(Pages().size(), 5000u);
}

// Folders beside the output folder named like what an interrupted deletion leaves, but not by
// the program on this machine: the older form, which a user may well type, and another
// machine's own name. A write-out leaves them and what they hold.
TEST_F(BuildMendsTest, FoldersNamedLikeTheLeftoversOfOthersSurviveAWriteOut) {
    const std::vector<std::string> others = {
        "local/srv.deleting-4242-77",
        "local/" +
            platform::OwnName("srv", "deleting-" + codec::HexHash("another machine") + "-4242-77")};
    for (const auto& folder : others) {
        fs::create_directory(tmp / folder);
        WriteBytes(tmp / (folder + "/notes.txt"), "mine");
    }
    builder.Run();
    EXPECT_EQ(txtLog.Text(), kStarted + kFinished);
    for (const auto& folder : others) EXPECT_EQ(ReadBytes(tmp / (folder + "/notes.txt")), "mine");
}

// A server may be named like the lock file of another, as the older versions named it: with
// that server's folder made at start, or with an older version's lock left in its place,
// both servers write out.
TEST_F(BuildMendsTest, AServerNamedLikeAnOldLockFileWritesOutBesideItsNamesake) {
    const std::string oldLock = "foo.example.VornackBuilder-lock";
    cboServer.AddItem("foo.example");
    cboServer.AddItem(oldLock);
    for (const bool leftByOlderVersion : {false, true}) {
        const std::string place = tmp / ("local/" + oldLock);
        fs::remove_all(place);
        if (leftByOlderVersion)
            WriteBytes(place, "");
        else
            fs::create_directory(place);
        for (const int server : {2, 3}) {
            cboServer.SetListIndex(server);
            builder.Run();
            EXPECT_EQ(txtLog.Text(), kStarted + kFinished) << cboServer.Text();
            EXPECT_TRUE(fs::exists(tmp / ("local/" + cboServer.Text() + "/index.html")));
        }
    }
}

}  // namespace
}  // namespace vb::test
