// A publish against an FTP server in memory that the tests fault at will.
#include "publish/publisher.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "platform/file_lock.h"
#include "publish/manifest.h"
#include "publish/plan.h"
#include "temp_dir.h"

namespace vb::publish {
namespace {

// The server. After each change a visitor reads the live index.html and follows its links:
// a link to a missing file, or to one still being written, is kept in broken.
struct FakeServer {
    std::mutex mutex;
    std::map<std::string, std::string> files{{"/www/robots.txt", "user's"}};
    std::set<std::string> folders{"/", "/www"};
    std::set<std::string> writing;
    int connections = 0, maxConnections = 8;
    int dropAfter = -1;  // steps that succeed before every one drops (-1: none drops)
    bool refuseRenameOver = false;
    std::string fullOn;  // an upload of this path is refused as a full disk
    std::vector<std::string> broken;

    void Step() {
        if (dropAfter == 0) throw TransferFailure(FailureKind::CutOff, "connection reset");
        if (dropAfter > 0) --dropAfter;
    }
    void Visit() {
        const auto index = files.find("/www/index.html");
        if (index == files.end()) return;
        for (const auto& link : LinkedNames(index->second))
            if (!files.contains("/www/" + link) || writing.contains("/www/" + link))
                broken.push_back(link);
    }
    std::map<std::string, std::string> Site() {
        auto site = files;
        std::erase_if(site, [](const auto& file) { return !file.first.starts_with("/www/"); });
        return site;
    }
};

class FakeConnection : public Connection {
  public:
    explicit FakeConnection(FakeServer& server) : s_(server) {}
    ~FakeConnection() override {
        std::lock_guard lock(s_.mutex);
        --s_.connections;
    }
    std::string StartFolder() override { return "/"; }
    std::vector<std::string> List(const std::string& folder) override {
        std::lock_guard lock(s_.mutex);
        if (!s_.folders.contains(folder)) throw TransferFailure(FailureKind::Refused, "550", 550);
        std::vector<std::string> names;
        for (const auto& [path, bytes] : s_.files)
            if (path.starts_with(folder + "/")) names.push_back(path.substr(folder.size() + 1));
        return names;
    }
    void MakeFolder(const std::string& path) override {
        std::lock_guard lock(s_.mutex);
        if (s_.folders.contains(path) || !s_.folders.contains(path.substr(0, path.rfind('/'))))
            throw TransferFailure(FailureKind::Refused, "550", 550);
        s_.folders.insert(path);
    }
    void Upload(const std::string& path, std::string_view bytes) override {
        // A moment on the wire, in which the other connections' threads run.
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        std::lock_guard lock(s_.mutex);
        s_.Step();
        if (path == s_.fullOn) throw TransferFailure(FailureKind::Refused, "552 disk full", 552);
        s_.writing.insert(path);
        s_.files[path] = bytes.substr(0, bytes.size() / 2);
        s_.Visit();
        s_.files[path] = bytes;
        s_.writing.erase(path);
    }
    void Rename(const std::string& from, const std::string& to) override {
        std::lock_guard lock(s_.mutex);
        s_.Step();
        if (!s_.files.contains(from) || (s_.refuseRenameOver && s_.files.contains(to)))
            throw TransferFailure(FailureKind::Refused, "553 exists", 553);
        s_.files[to] = s_.files[from];
        s_.files.erase(from);
        s_.Visit();
    }
    void Delete(const std::string& path) override {
        std::lock_guard lock(s_.mutex);
        s_.Step();
        if (!s_.files.erase(path)) throw TransferFailure(FailureKind::Refused, "550", 550);
        s_.Visit();
    }

  private:
    FakeServer& s_;
};

class FakeTransfer : public Transfer {
  public:
    explicit FakeTransfer(FakeServer& server) : s_(server) {}
    std::unique_ptr<Connection> Connect(const Endpoint& endpoint,
                                        const std::atomic<bool>&) override {
        std::lock_guard lock(s_.mutex);
        if (endpoint.password != "secret-pw")
            throw TransferFailure(FailureKind::LoginRefused, "530 no " + endpoint.password, 530);
        if (s_.connections >= s_.maxConnections)
            throw TransferFailure(FailureKind::Busy, "421 too many", 421);
        ++s_.connections;
        return std::make_unique<FakeConnection>(s_);
    }

  private:
    FakeServer& s_;
};

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

TEST_F(PublisherTest, AServerThatTakesOneConnectionGetsOne) {
    WriteOut({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"}, "1");
    server.maxConnections = 1;
    job.connections = 4;
    EXPECT_EQ(Run().result, PublishResult::Done) << progress.lines.back();
    EXPECT_EQ(server.Site(), Local());
    EXPECT_TRUE(progress.Has("本にして続けます"));
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
