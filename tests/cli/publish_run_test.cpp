// The command line's publish, through an FTP server in memory.
#include "cli/publish_run.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "fake_transfer.h"
#include "platform/file_lock.h"
#include "platform/program_folder.h"
#include "temp_dir.h"

namespace vb::cli {
namespace {

#ifdef _WIN32
constexpr const char* kLineEnd = "\r\n";
#else
constexpr const char* kLineEnd = "\n";
#endif

struct PublishRunTest : ::testing::Test {
    test::TempDir dir;
    test::FakeServer server;
    const std::string settings =
        "[Setting]\r\nServer1=h u secret-pw\r\nPrevServer=0\r\n[Publish "
        "h]\r\nFolder=/www\r\nConnections=1\r\n";

    void SetUp() override {
        platform::SetProgramFolderForTesting(dir.str());
        test::WriteBytes(dir / "VornackBuilder.ini", settings);
        std::filesystem::create_directories(dir.path() / "local" / "h");
        test::WriteBytes(dir / "local/h/index.html", "<a href='a.html'>");
        test::WriteBytes(dir / "local/h/a.html", "a");
    }
    void TearDown() override { platform::SetProgramFolderForTesting(""); }

    // The run's exit status; its log (errors included) in log.
    int Run(std::vector<std::string> args) {
        std::filesystem::remove(dir.path() / "run.log");
        args.insert(args.end(), {"--quiet", "--log", dir / "run.log"});
        const int status = RunCommandLine(
            args, false, [this] { return std::make_unique<test::FakeTransfer>(server); });
        log =
            std::filesystem::exists(dir.path() / "run.log") ? test::ReadBytes(dir / "run.log") : "";
        return status;
    }
    bool Logged(const std::string& part) const { return log.find(part) != std::string::npos; }
    std::string log;
};

TEST_F(PublishRunTest, PublishesTheOutputFolderAsItStandsAndADryRunChangesNothing) {
    ASSERT_EQ(Run({"--publish"}), kExitSuccess) << log;
    EXPECT_TRUE(
        Logged(" 公開開始 (publish) server=\"h\" folder=\"/www\" protocol=ftps connections=1"));
    EXPECT_TRUE(Logged(" 公開終了 (publish end) sent=2 renamed=1 deleted=0 kept=0 bytes=18 "));
    EXPECT_EQ(server.files["/www/a.html"], "a");
    test::WriteBytes(dir / "local/h/a.html", "a2");
    EXPECT_EQ(Run({"--publish", "--dry-run"}), kExitSuccess);
    EXPECT_TRUE(Logged("置き換える: a.html")) << log;
    EXPECT_EQ(server.files["/www/a.html"], "a");
    // A write-out that did not finish (here: not confirmed) is never published.
    EXPECT_EQ(Run({"--write-out", "--publish"}), kExitRefused);
    EXPECT_EQ(server.files["/www/a.html"], "a");
}

TEST_F(PublishRunTest, EachWayAPublishFailsHasItsExitStatus) {
    server.onUpload = [](const std::string&) { std::raise(SIGINT); };
    EXPECT_EQ(Run({"--publish"}), kExitInterrupted);
    EXPECT_TRUE(Logged(" outcome=stopped") && !server.files.contains("/www/index.html")) << log;
    server.onUpload = {};
    server.pin = "sha256//" + std::string(43, 'Q') + "=";
    EXPECT_EQ(Run({"--publish"}), kExitNotSecure);
    // The line to add, on a line of its own (the Windows log ends its lines with CR LF).
    EXPECT_TRUE(Logged("[Publish h]") && Logged("\nCertificate=" + server.pin + kLineEnd)) << log;
    EXPECT_EQ(test::ReadBytes(dir / "VornackBuilder.ini"), settings);
    server.pin.clear();
    {
        int error = 0;
        const auto writeOut =
            platform::FileLock::TryTake(dir / "local/h ~VornackBuilder-lock", error);
        EXPECT_EQ(Run({"--publish"}), kExitBusy);
    }
    // A refused value is quoted as the terminal and the log may show it.
    std::string control = settings;
    control.replace(control.find("/www"), 4, "/a\x1b[2J");
    test::WriteBytes(dir / "VornackBuilder.ini", control);
    EXPECT_EQ(Run({"--publish"}), kExitRefused);
    EXPECT_TRUE(Logged("Folder=/a␛[2J") && !Logged("\x1b")) << log;
    test::WriteBytes(dir / "VornackBuilder.ini", "[Setting]\r\nServer1=h u wrong\r\n");
    EXPECT_EQ(Run({"--publish", "--server", "h"}), kExitLoginRefused);
    EXPECT_EQ(Run({"--dry-run", "--write-out"}), kExitBadCommandLine);
}

}  // namespace
}  // namespace vb::cli
