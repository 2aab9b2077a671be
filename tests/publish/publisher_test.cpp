// A publish against an FTP server in memory that the tests fault at will.
#include "publish/publisher.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fake_transfer.h"
#include "platform/file_lock.h"
#include "temp_dir.h"

namespace vb::publish {
namespace {

using test::FakeServer;
using test::FakeTransfer;

struct Lines : PublishProgress {
    std::vector<std::string> lines;
    void Line(const std::string& text) override { lines.push_back(text); }
    void Files(std::size_t, std::size_t) override {}
    bool Has(const std::string& part) const {
        for (const auto& line : lines)
            if (line.find(part) != std::string::npos) return true;
        return false;
    }
};

struct PublisherTest : ::testing::Test {
    test::TempDir dir;
    FakeServer server;
    FakeTransfer transfer{server};
    std::atomic<bool> stop{false};
    Lines progress;
    PublishJob job{"srv",
                   dir / "srv",
                   {Protocol::Ftps, "h", 21, "u", "secret-pw", ""},
                   "/www",
                   3,
                   false,
                   3,
                   std::chrono::milliseconds(1)};

    // A write-out's pages and their index.
    void WriteOut(const std::vector<std::string>& pages, const std::string& version) {
        std::filesystem::remove_all(job.outputFolder);
        std::filesystem::create_directory(job.outputFolder);
        std::string index = "<a href='robots.txt'>";
        for (const auto& page : pages) {
            test::WriteBytes(dir / "srv/" + page, page + version);
            index += "<a href='" + page + "'>";
        }
        test::WriteBytes(dir / "srv/index.html", index);
    }
    PublishReport Run() { return Publish(job, transfer, progress, stop); }
    std::map<std::string, std::string> Local() {
        std::map<std::string, std::string> site{{"/www/robots.txt", "user's"}};
        for (const auto& entry : std::filesystem::directory_iterator(job.outputFolder))
            site["/www/" + entry.path().filename().string()] =
                test::ReadBytes(entry.path().string());
        return site;
    }
};

TEST_F(PublisherTest, ASecondWriteOutReachesTheSiteWholeAtEveryMomentAndAThirdPublishSendsNothing) {
    WriteOut({"a", "b", "c"}, "1");
    ASSERT_EQ(Run().result, PublishResult::Done) << progress.lines.back();
    WriteOut({"b", "c", "d"}, "2");
    const PublishReport report = Run();
    EXPECT_EQ(report.result, PublishResult::Done);
    EXPECT_EQ(std::tie(report.sent, report.renamed, report.deleted), std::tuple(4u, 3u, 1u));
    EXPECT_EQ(server.Site(), Local());
    EXPECT_EQ(server.broken, std::vector<std::string>{});
    job.dryRun = true;
    EXPECT_TRUE(Run().sent == 0 && progress.Has("送るファイル 0 "));
    job.dryRun = false;
    const PublishReport again = Run();
    EXPECT_TRUE(again.sent == 0 && again.kept == 4) << progress.lines.back();
}

TEST_F(PublisherTest, MakesTheMissingFolderParentsFirstAndDeletesBeforeARefusedRenameOver) {
    job.remoteFolder = "www/new/site";
    WriteOut({"a"}, "1");
    test::WriteBytes(dir / "srv/index.html", "<a href='a'>");
    ASSERT_EQ(Run().result, PublishResult::Done) << progress.lines.back();
    EXPECT_TRUE(server.files.contains("/www/new/site/a"));
    server.refuseRenameOver = true;
    test::WriteBytes(dir / "srv/a", "a2");
    EXPECT_EQ(Run().result, PublishResult::Done) << progress.lines.back();
    EXPECT_EQ(server.files["/www/new/site/a"], "a2");
    EXPECT_TRUE(progress.Has("削除してから名前を変えます"));
}

// Cut off for good after two steps: stopped with the site whole; the next publish sends only
// what did not land.
TEST_F(PublisherTest, AConnectionThatKeepsDroppingStopsTheSiteWholeAndTheNextPublishSendsTheRest) {
    WriteOut({"a", "b", "c", "d"}, "1");
    job.connections = 1;
    server.dropAfter = 2;
    const PublishReport cut = Run();
    EXPECT_EQ(cut.result, PublishResult::CutOff);
    EXPECT_EQ(cut.sent, 2u);
    EXPECT_FALSE(server.files.contains("/www/index.html"));
    server.dropAfter = 4;  // one drop, mended by a new connection
    const PublishReport resumed = Run();
    EXPECT_EQ(resumed.result, PublishResult::Done) << progress.lines.back();
    EXPECT_EQ(resumed.sent, 3u);
    EXPECT_EQ(server.Site(), Local());
}

// What is recorded is what was sent: a page changed after the plan goes as it is then, and
// the next publish finds it sent.
TEST_F(PublisherTest, APageChangedDuringThePublishIsRecordedAsSent) {
    WriteOut({"a", "b"}, "1");
    job.connections = 1;
    // The index edited to link a page that is nowhere: the index whose links were checked
    // goes out.
    std::string index;
    server.onUpload = [&](const std::string& path) {
        if (path != "/www/a") return;
        test::WriteBytes(dir / "srv/b", "b changed");
        index = test::ReadBytes(dir / "srv/index.html");
        test::WriteBytes(dir / "srv/index.html", "<a href=\"gone.html\">");
    };
    ASSERT_EQ(Run().result, PublishResult::Done);
    EXPECT_EQ(server.files["/www/b"], "b changed");
    EXPECT_EQ(server.files["/www/index.html"], index);
    EXPECT_EQ(Run().sent, 0u);
}

TEST_F(PublisherTest, AStoppedPublishLeavesTheSiteWholeAndTheNextFinishesIt) {
    WriteOut({"a", "b"}, "1");
    ASSERT_EQ(Run().result, PublishResult::Done);
    WriteOut({"c", "d"}, "2");
    job.connections = 1;
    server.onUpload = [&](const std::string&) { stop = true; };
    EXPECT_EQ(Run().result, PublishResult::Stopped);
    EXPECT_EQ(server.broken, std::vector<std::string>{});
    EXPECT_TRUE(server.files.contains("/www/a"));
    stop = false;
    server.onUpload = {};
    EXPECT_EQ(Run().result, PublishResult::Done);
    EXPECT_EQ(server.Site(), Local());
}

// Connections whose QUIT waits (a stalled server) end side by side, not one after another.
TEST_F(PublisherTest, TheConnectionsEndSideBySide) {
    WriteOut({"a", "b", "c", "d", "e", "f", "g", "h"}, "1");
    job.connections = 4;
    server.quitTakes = std::chrono::milliseconds(300);
    ASSERT_EQ(Run().result, PublishResult::Done);
    EXPECT_GT(server.ended, 1);
    EXPECT_EQ(server.mostClosingAtOnce, server.ended);
}

TEST_F(PublisherTest, AFullDiskStopsThePublishBeforeAnyDeletion) {
    WriteOut({"a", "b"}, "1");
    ASSERT_EQ(Run().result, PublishResult::Done);
    const auto before = server.Site();
    WriteOut({"b", "c"}, "1");
    server.fullOn = "/www/c";
    const PublishReport report = Run();
    EXPECT_EQ(report.result, PublishResult::Failed);
    EXPECT_NE(report.text.find("c: 552"), std::string::npos) << report.text;
    EXPECT_EQ(server.Site(), before);
}

// A server that says a step landed when it did not: nothing is deleted, and the next publish,
// to an honest server, sends again what the site lacks.
TEST_F(PublisherTest, AServerThatAnswersDoneToWhatItDidNotDoStopsBeforeTheDeletions) {
    WriteOut({"a", "b"}, "1");
    ASSERT_EQ(Run().result, PublishResult::Done);
    WriteOut({"b", "c"}, "2");
    server.renamesNothing = true;
    const PublishReport report = Run();
    EXPECT_EQ(report.result, PublishResult::Failed);
    EXPECT_NE(report.text.find("一時ファイルがサーバーに残っています"), std::string::npos);
    EXPECT_TRUE(server.files.contains("/www/a"));
    server.renamesNothing = false;
    ASSERT_EQ(Run().result, PublishResult::Done) << progress.lines.back();
    EXPECT_EQ(server.Site(), Local());

    // An index cut short but answered done never goes live.
    const std::string live = server.files["/www/index.html"];
    WriteOut({"c"}, "3");
    server.cutShort = "/www/index.html ~VornackBuilder-sending";
    EXPECT_EQ(Run().result, PublishResult::Failed);
    EXPECT_EQ(server.files["/www/index.html"], live);
    EXPECT_TRUE(server.files.contains("/www/b"));
}

// A server that drops the publish and then takes no connection has cut it off: try later.
TEST_F(PublisherTest, AServerLostMidWayIsACutOffNotAServerNeverReached) {
    WriteOut({"a", "b", "c"}, "1");
    int uploads = 0;
    server.onUpload = [&](const std::string&) {
        if (++uploads < 2) return;
        server.reachable = false;
        throw TransferFailure(FailureKind::CutOff, "connection reset");
    };
    job.connections = 1;
    EXPECT_EQ(Run().result, PublishResult::CutOff) << progress.lines.back();
}

// A listing cut short at the server's limit: what it leaves out is asked for by name, and the
// pages of ours it does not show are deleted all the same.
TEST_F(PublisherTest, AListingCutShortNeitherFailsThePublishNorForgetsOldPages) {
    server.listAtMost = 2;
    WriteOut({"a", "b", "c", "d"}, "1");
    ASSERT_EQ(Run().result, PublishResult::Done) << progress.lines.back();
    WriteOut({"c", "d", "e"}, "2");
    ASSERT_EQ(Run().result, PublishResult::Done) << progress.lines.back();
    EXPECT_EQ(server.Site(), Local());
    EXPECT_EQ(server.broken, std::vector<std::string>{});  // no page rewritten where it is live
}

// A page the user changed on the server after it was published is theirs: it stays.
TEST_F(PublisherTest, APageChangedOnTheServerIsNotDeleted) {
    WriteOut({"a", "b"}, "1");
    ASSERT_EQ(Run().result, PublishResult::Done);
    server.files["/www/a"] = "the user's own a";
    WriteOut({"b"}, "2");
    EXPECT_EQ(Run().result, PublishResult::Done) << progress.lines.back();
    EXPECT_EQ(server.files["/www/a"], "the user's own a");
    EXPECT_TRUE(progress.Has("消さずに残します: a"));
    WriteOut({"a"}, "3");  // no longer ours: a new page of that name is refused
    EXPECT_EQ(Run().result, PublishResult::Refused);
}

// "No files found" (450) of a folder that holds the user's files is no empty folder: the
// user's index.html is not overwritten.
TEST_F(PublisherTest, ANamesListingThatSaysNoFilesOfAFullFolderIsNotBelieved) {
    server.files["/www/index.html"] = "the user's";
    WriteOut({"a"}, "1");
    server.listsNothing = true;
    EXPECT_EQ(Run().result, PublishResult::Busy);
    EXPECT_EQ(server.files["/www/index.html"], "the user's");
}

TEST_F(PublisherTest, AServerThatTakesOneConnectionGetsOne) {
    WriteOut({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"}, "1");
    server.maxConnections = 1;
    job.connections = 4;
    EXPECT_EQ(Run().result, PublishResult::Done) << progress.lines.back();
    EXPECT_EQ(server.Site(), Local());
    EXPECT_TRUE(progress.Has("本にして続けます"));
    WriteOut({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"}, "2");
    server.tooManyAsLogin = true;
    EXPECT_EQ(Run().result, PublishResult::Done) << progress.lines.back();
    EXPECT_EQ(server.Site(), Local());
    server.tooManyAsLogin = false;
    server.maxConnections = 0;
    EXPECT_EQ(Run().result, PublishResult::Busy);
}

TEST_F(PublisherTest, RefusesAFolderThatIsNotAFinishedWriteOutOrIsBusyAndNeverShowsThePassword) {
    std::filesystem::create_directory(job.outputFolder);
    EXPECT_EQ(Run().result, PublishResult::Refused);
    WriteOut({"a"}, "1");
    test::WriteBytes(dir / "srv/index.html", "<a href='a'><a href='lost'>");
    EXPECT_NE(Run().text.find("lost"), std::string::npos);
    {
        int error = 0;
        const auto held = platform::FileLock::TryTake(dir / "srv ~VornackBuilder-lock", error);
        EXPECT_EQ(Run().result, PublishResult::Busy);
    }
    job.endpoint.password = "wrong-pw";
    EXPECT_EQ(Run().result, PublishResult::LoginRefused);
    for (const auto& line : progress.lines) EXPECT_EQ(line.find("wrong-pw"), std::string::npos);
    EXPECT_EQ(server.Site(), (std::map<std::string, std::string>{{"/www/robots.txt", "user's"}}));
}

}  // namespace
}  // namespace vb::publish
