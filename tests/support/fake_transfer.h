#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "publish/plan.h"
#include "publish/transfer.h"

// An FTP server in memory for the tests of a publish, with the faults a test turns on.
namespace vb::test {

using publish::Connection;
using publish::Endpoint;
using publish::FailureKind;
using publish::LinkedNames;
using publish::TransferFailure;

// The server. After each change a visitor reads the live index.html and follows its links:
// a link to a missing file, or to one still being written, is kept in broken.
struct FakeServer {
    std::mutex mutex;
    std::map<std::string, std::string> files{{"/www/robots.txt", "user's"}};
    std::set<std::string> folders{"/", "/www"};
    std::set<std::string> writing;
    int connections = 0, maxConnections = 8;
    bool tooManyAsLogin = false;  // one connection too many refused as a wrong login (530)
    int dropAfter = -1;           // steps that succeed before every one drops (-1: none drops)
    bool refuseRenameOver = false;
    bool listsNothing = false;    // answers every names' listing 450, as if the folder were empty
    bool renamesNothing = false;  // answers a rename done and leaves both names as they were
    bool reachable = true;        // false: every new connection fails as an unreachable host
    std::size_t listAtMost =
        SIZE_MAX;          // a names' listing cut short at this many, as some servers do
    std::string fullOn;    // an upload of this path is refused as a full disk
    std::string cutShort;  // an upload of this path keeps half its bytes and is answered done
    std::string pin;       // the certificate's pin, which a connection must name (empty: trusted)
    std::function<void(const std::string& path)> onUpload;  // runs as each upload starts
    std::vector<std::string> broken;
    // A connection's end (its QUIT) takes this long; how many ended, and at most at once.
    std::chrono::milliseconds quitTakes{0};
    int ended = 0, closing = 0, mostClosingAtOnce = 0;

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
        {
            std::lock_guard lock(s_.mutex);
            s_.mostClosingAtOnce = std::max(s_.mostClosingAtOnce, ++s_.closing);
        }
        std::this_thread::sleep_for(s_.quitTakes);
        std::lock_guard lock(s_.mutex);
        --s_.closing, ++s_.ended;
        --s_.connections;
    }
    std::string StartFolder() override { return "/"; }
    std::vector<std::string> List(const std::string& folder) override {
        std::lock_guard lock(s_.mutex);
        if (!s_.folders.contains(folder)) throw TransferFailure(FailureKind::Refused, "550", 550);
        std::vector<std::string> names;
        for (const auto& [path, bytes] : s_.files)
            if (path.starts_with(folder + "/")) names.push_back(path.substr(folder.size() + 1));
        if (names.empty() || s_.listsNothing)
            throw TransferFailure(FailureKind::Refused, "450 No files found", 450);
        if (names.size() > s_.listAtMost) names.resize(s_.listAtMost);
        return names;
    }
    bool HoldsEntries(const std::string& folder) override {
        std::lock_guard lock(s_.mutex);
        for (const auto& [path, bytes] : s_.files)
            if (path.starts_with(folder + "/")) return true;
        return false;
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
        if (s_.onUpload) s_.onUpload(path);
        s_.writing.insert(path);
        s_.files[path] = bytes.substr(0, bytes.size() / 2);
        s_.Visit();
        s_.files[path] = path == s_.cutShort ? bytes.substr(0, bytes.size() / 2) : bytes;
        s_.writing.erase(path);
    }
    void Rename(const std::string& from, const std::string& to) override {
        std::lock_guard lock(s_.mutex);
        s_.Step();
        if (!s_.files.contains(from) || (s_.refuseRenameOver && s_.files.contains(to)))
            throw TransferFailure(FailureKind::Refused, "553 exists", 553);
        if (s_.renamesNothing) return;
        s_.files[to] = s_.files[from];
        s_.files.erase(from);
        s_.Visit();
    }
    std::optional<std::uint64_t> Size(const std::string& path) override {
        std::lock_guard lock(s_.mutex);
        const auto file = s_.files.find(path);
        if (file == s_.files.end()) throw TransferFailure(FailureKind::Refused, "550", 550);
        return file->second.size();
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

class FakeTransfer : public publish::Transfer {
  public:
    explicit FakeTransfer(FakeServer& server) : s_(server) {}
    std::unique_ptr<Connection> Connect(const Endpoint& endpoint,
                                        const std::atomic<bool>&) override {
        std::lock_guard lock(s_.mutex);
        if (!s_.pin.empty() && endpoint.pin != s_.pin) {
            TransferFailure untrusted(FailureKind::Untrusted, "certificate not trusted");
            untrusted.pin = s_.pin;
            untrusted.certificateNames = "CN=shared.example";
            throw untrusted;
        }
        if (!s_.reachable) throw TransferFailure(FailureKind::CannotReach, "timed out connecting");
        if (endpoint.password != "secret-pw")
            throw TransferFailure(FailureKind::LoginRefused, "530 no " + endpoint.password, 530);
        if (s_.connections >= s_.maxConnections && s_.tooManyAsLogin)
            throw TransferFailure(FailureKind::LoginRefused, "530 too many for you", 530);
        if (s_.connections >= s_.maxConnections)
            throw TransferFailure(FailureKind::Busy, "421 too many", 421);
        ++s_.connections;
        return std::make_unique<FakeConnection>(s_);
    }

  private:
    FakeServer& s_;
};

}  // namespace vb::test
