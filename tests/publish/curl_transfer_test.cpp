#include "publish/curl_transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <thread>

#include "temp_dir.h"
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vb::publish {
namespace {

using test::ReadBytes;

// tests/support/ftp_server.py on 127.0.0.1 with the given flags; it ends when its standard
// input, held here, closes.
struct Server {
    explicit Server(std::vector<std::string> flags) {
        flags.insert(flags.begin(), {"/usr/bin/python3", VB_FTP_SERVER, "--log", dir / "log"});
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0) throw std::runtime_error("pipe");
        if ((pid = fork()) == 0) {
            dup2(in[0], 0), dup2(out[1], 1), close(in[1]), close(out[0]);
            std::vector<char*> argv;
            for (auto& f : flags) argv.push_back(f.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(in[0]), close(out[1]), input = in[1];
        char line[4096] = {};
        FILE* f = fdopen(out[0], "r");
        if (!fgets(line, sizeof line, f)) throw std::runtime_error("ftp_server.py did not start");
        fclose(f);
        std::string ready;  // READY <port> <pin> <root>
        std::istringstream(line) >> ready >> port >> pin >> root;
    }
    ~Server() { close(input), waitpid(pid, nullptr, 0); }
    Endpoint At(Protocol protocol, std::string password = "secret") const {
        return {protocol, "127.0.0.1", port, "user", password, pin};
    }
    std::string Log() const { return ReadBytes(dir / "log"); }

    test::TempDir dir;
    pid_t pid = -1;
    int input = -1, port = 0;
    std::string pin, root;
};

std::atomic<bool> running{false};

// The failure that the step throws, checked for its kind and reply.
TransferFailure FailureOf(FailureKind kind, int reply, const std::function<void()>& step) {
    try {
        step();
    } catch (const TransferFailure& f) {
        EXPECT_EQ(f.Kind(), kind) << f.what();
        EXPECT_EQ(f.Reply(), reply) << f.what();
        return f;
    }
    ADD_FAILURE() << "no failure";
    return TransferFailure(kind, "");
}

TEST(CurlTransfer, PlainFtpStepsAndTheirRefusals) {
    Server server({"--tls", "none", "--no-rename-over"});
    auto c = MakeCurlTransfer()->Connect(server.At(Protocol::Ftp), running);
    EXPECT_EQ(c->StartFolder(), "/");
    c->MakeFolder("/d");
    c->Upload("/d/a.html", "<p>a</p>\r\n");
    c->Upload("/d/b.html", "");
    c->Rename("/d/a.html", "/d/c.html");
    FailureOf(FailureKind::Refused, 550, [&] { c->Rename("/d/b.html", "/d/c.html"); });
    c->Delete("/d/b.html");
    EXPECT_EQ(c->List("/d"), std::vector<std::string>{"c.html"});
    EXPECT_EQ(ReadBytes(server.root + "/d/c.html"), "<p>a</p>\r\n");
    EXPECT_EQ(c->Size("/d/c.html"), std::optional<std::uint64_t>(10));
    FailureOf(FailureKind::Refused, 550, [&] { c->Size("/d/b.html"); });
    FailureOf(FailureKind::Refused, 550, [&] { c->MakeFolder("/d"); });
    FailureOf(FailureKind::Refused, 550, [&] { c->List("/none"); });
    FailureOf(FailureKind::Refused, 0, [&] { c->Delete("/d/x\r\nDELE /d/c.html"); });
}

// libcurl reports a listing answered 450 as an empty one; the transfer tells it, and the full
// listing tells a folder with files from an empty one.
TEST(CurlTransfer, ANamesListingAnswered450IsToldAndTheFullListingLooksAgain) {
    Server server({"--tls", "none", "--nlst-450"});
    auto c = MakeCurlTransfer()->Connect(server.At(Protocol::Ftp), running);
    c->MakeFolder("/d");
    c->MakeFolder("/e");
    c->Upload("/d/a.html", "a");
    FailureOf(FailureKind::Refused, 450, [&] { c->List("/d"); });
    EXPECT_TRUE(c->HoldsEntries("/d"));
    EXPECT_FALSE(c->HoldsEntries("/e"));
    c->Upload("/d/b.html", "b");
    EXPECT_EQ(ReadBytes(server.root + "/d/b.html"), "b");
}

// The server refuses a data connection that does not resume the control connection's TLS
// session: under TLS 1.3 the third upload would fail.
TEST(CurlTransfer, PinnedFtpsKeepsOddNamesAndResumesTlsOnEveryDataConnection) {
    Server server({"--require-reuse"});
    auto c = MakeCurlTransfer()->Connect(server.At(Protocol::Ftps), running);
    std::vector<std::string> names{"日本語 ページ.html", "a#b%20c?d.html", "100%.html", "x y"};
    for (const auto& name : names) c->Upload("/" + name, name);
    for (const auto& name : names) EXPECT_EQ(ReadBytes(server.root + "/" + name), name);
    auto listed = c->List("/");
    std::sort(listed.begin(), listed.end()), std::sort(names.begin(), names.end());
    EXPECT_EQ(listed, names);
}

TEST(CurlTransfer, ImplicitFtpsRefusesAnUntrustedCertificateWithItsPinBeforeTheLogin) {
    Server server({"--tls", "implicit"});
    for (std::string pin : {"", "sha256//ulrH7bO0DbqXkZ9cL3XBrTw4Hk0dYJ7PaJt1bWEr7eM="}) {
        Endpoint at = server.At(Protocol::FtpsImplicit);
        at.pin = pin;
        auto f =
            FailureOf(FailureKind::Untrusted, 0, [&] { MakeCurlTransfer()->Connect(at, running); });
        EXPECT_EQ(f.pin, server.pin);
        EXPECT_NE(f.certificateNames.find("ftp.vornack-test.example"), std::string::npos);
    }
    EXPECT_EQ(server.Log().find("USER"), std::string::npos) << server.Log();
    MakeCurlTransfer()->Connect(server.At(Protocol::FtpsImplicit), running)->Upload("/i", "i");
    EXPECT_EQ(ReadBytes(server.root + "/i"), "i");
}

TEST(CurlTransfer, WrongPasswordRefusedAndNeverShown) {
    Server server({});
    auto f = FailureOf(FailureKind::LoginRefused, 530, [&] {
        MakeCurlTransfer()->Connect(server.At(Protocol::Ftps, "Wr0ng-Pa55"), running);
    });
    EXPECT_EQ(std::string(f.what()).find("Wr0ng-Pa55"), std::string::npos) << f.what();
}

TEST(CurlTransfer, ServerWithoutTlsNeverSeesTheLogin) {
    Server server({"--tls", "none"});
    FailureOf(FailureKind::NoTls, 500,
              [&] { MakeCurlTransfer()->Connect(server.At(Protocol::Ftps), running); });
    EXPECT_EQ(server.Log().find("USER"), std::string::npos) << server.Log();
    EXPECT_EQ(server.Log().find("PASS"), std::string::npos) << server.Log();
}

TEST(CurlTransfer, ServerFaultsAsKinds) {
    Server server({"--max-connections", "1", "--full-after", "1", "--drop-after", "1"});
    auto t = MakeCurlTransfer();
    auto c = t->Connect(server.At(Protocol::Ftps), running);
    FailureOf(FailureKind::Busy, 421, [&] { t->Connect(server.At(Protocol::Ftps), running); });
    c->Upload("/1", "1");
    FailureOf(FailureKind::CutOff, 0, [&] { c->Upload("/2", "2"); });
    c = t->Connect(server.At(Protocol::Ftps), running);
    FailureOf(FailureKind::Refused, 552, [&] { c->Upload("/3", "3"); });
}

TEST(CurlTransfer, StopEndsAWaitForTheServer) {
    Server server({"--delay", "3"});
    std::atomic<bool> stop{false};
    std::thread stopper(
        [&] { std::this_thread::sleep_for(std::chrono::milliseconds(300)), stop = true; });
    FailureOf(FailureKind::Stopped, 0,
              [&] { MakeCurlTransfer()->Connect(server.At(Protocol::Ftps), stop); });
    stopper.join();
}

}  // namespace
}  // namespace vb::publish
