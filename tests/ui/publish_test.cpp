// The publish from the window: on a thread of its own, its news taken by the window's timer,
// other commands held, stopped by its menu item or by a close, a distrusted certificate asked
// about once.
#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>

#include "window_fixture.h"

namespace vb::test {
namespace {

using publish::FailureKind;
using publish::TransferFailure;

// A server in memory whose login waits until the test lets it go on (or the publish stops),
// and whose certificate is trusted only by its pin.
struct GatedServer {
    std::atomic<bool> open{false};
    std::atomic<std::thread::id> loginThread;
    std::mutex mutex;
    std::map<std::string, std::string> files;
    std::string pins;  // the pins the logins came with
};

class MemoryConnection : public publish::Connection {
  public:
    explicit MemoryConnection(GatedServer& s) : s_(s) {}
    std::string StartFolder() override { return "/"; }
    std::vector<std::string> List(const std::string& folder) override {
        const std::lock_guard lock(s_.mutex);
        const std::string in = folder.ends_with('/') ? folder : folder + "/";
        std::vector<std::string> names;
        for (const auto& [path, bytes] : s_.files)
            if (path.starts_with(in)) names.push_back(path.substr(in.size()));
        return names;
    }
    bool HoldsEntries(const std::string&) override { return false; }
    void MakeFolder(const std::string&) override {}
    void Upload(const std::string& path, std::string_view bytes) override {
        const std::lock_guard lock(s_.mutex);
        s_.files[path] = bytes;
    }
    void Rename(const std::string& from, const std::string& to) override {
        const std::lock_guard lock(s_.mutex);
        s_.files[to] = s_.files[from];
        s_.files.erase(from);
    }
    void Delete(const std::string& path) override { s_.files.erase(path); }
    std::optional<std::uint64_t> Size(const std::string&) override { return std::nullopt; }

  private:
    GatedServer& s_;
};

class GatedTransfer : public publish::Transfer {
  public:
    explicit GatedTransfer(GatedServer& s) : s_(s) {}
    std::unique_ptr<publish::Connection> Connect(const publish::Endpoint& endpoint,
                                                 const std::atomic<bool>& stop) override {
        s_.loginThread = std::this_thread::get_id();
        for (int i = 0; i < 1000 && !s_.open && !stop; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (stop) throw TransferFailure(FailureKind::Stopped, "stopped");
        s_.pins += endpoint.pin + ";";
        if (endpoint.pin != "sha256//AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=") {
            TransferFailure untrusted(FailureKind::Untrusted, "certificate not trusted");
            untrusted.pin = "sha256//AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=";
            untrusted.certificateNames = "CN=shared.host.example";
            throw untrusted;
        }
        return std::make_unique<MemoryConnection>(s_);
    }

  private:
    GatedServer& s_;
};

class PublishWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        std::filesystem::create_directory(dir / "local/site");
        WriteBytes(dir / "local/site/a.html", "page a");
        WriteBytes(dir / "local/site/index.html", "<a href=\"a.html\">a</a>");
        WriteSettings({"[Setting]", "Server1=site user pw", "PrevServer=0"});
    }
    ui::frmVornack& StartedWithServer() {
        auto& w = Window();
        w.Form_Load();
        w.cboServer.SetListIndex(0);
        return w;
    }
    // Lets the window's timer run until the publish has ended (or ten seconds pass).
    void TickUntilEnded(ui::frmVornack& w) {
        for (int i = 0; i < 1000 && w.Publishing(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            w.tmrPublish.RaiseTick();
        }
    }
    ui::WindowServices Services() {
        auto services = WindowTest::Services();
        services.options.makeTransfer = [this] { return std::make_unique<GatedTransfer>(server); };
        return services;
    }
    ui::frmVornack& Window() {
        if (!window) window = std::make_unique<ui::frmVornack>(Services());
        return *window;
    }
    GatedServer server;
};

TEST_F(PublishWindowTest, RunsOffTheWindowsThreadHoldsCommandsAndTrustsACertificateOnce) {
    auto& w = StartedWithServer();
    boxes.QueueAnswer(platform::MsgResult::Yes);
    w.mnuPublish.RaiseClick();
    ASSERT_TRUE(w.Publishing());
    EXPECT_FALSE(w.mnuGo.Enabled());
    w.mnuFileReload.RaiseClick();  // held: the log keeps the publish's lines
    server.open = true;
    TickUntilEnded(w);
    EXPECT_NE(server.loginThread.load(), std::this_thread::get_id());
    // Asked once, trusted: the pin is in the server's section and the second publish used it.
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_NE(boxes.shown()[0].text.find("CN=shared.host.example"), std::string::npos);
    EXPECT_NE(SettingsBytes().find("[Publish site]\r\nCertificate=sha256//AAAA"),
              std::string::npos);
    TickUntilEnded(w);
    ASSERT_TRUE(w.LastPublish());
    EXPECT_EQ(w.LastPublish()->result, publish::PublishResult::Done);
    EXPECT_EQ(server.files["/index.html"], "<a href=\"a.html\">a</a>");
    EXPECT_EQ(w.pbrProcess.Value(), w.pbrProcess.Max());
    EXPECT_TRUE(w.mnuGo.Enabled());
}

TEST_F(PublishWindowTest, ACloseStopsThePublishAndClosesOnceItHasEnded) {
    auto& w = StartedWithServer();
    w.mnuPublish.RaiseClick();
    w.mnuExit.RaiseClick();
    EXPECT_FALSE(w.IsUnloaded());  // the publish's thread is still waiting at the login
    TickUntilEnded(w);
    EXPECT_TRUE(w.IsUnloaded());
    EXPECT_EQ(w.LastPublish()->result, publish::PublishResult::Stopped);
    EXPECT_TRUE(server.files.empty());
}

}  // namespace
}  // namespace vb::test
