#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "publish/transfer.h"

// A publish: the pages of a finished write-out, local/<server>, put on the server's remote
// folder so that the live site is never half-published and nothing of the user's is touched.
// The command line calls Publish on its own thread; the window calls it on a helper thread and
// hands its progress back to the window's thread.
namespace vb::publish {

struct PublishJob {
    std::string serverName;    // the server's list name: the output folder's name
    std::string outputFolder;  // local/<server>; the lock and the manifest lie beside it
    Endpoint endpoint;
    std::string remoteFolder;  // empty: the folder the login starts in; relative: from there
    int connections = 2;       // 1 to 8
    bool dryRun = false;       // plan and report, change nothing remote
    // A dropped or busy connection is tried again this many times for one step, waiting
    // backOff, then twice as long each time.
    int retries = 3;
    std::chrono::milliseconds backOff{2000};
};

// How a publish ended; the command line maps each to its exit status.
enum class PublishResult {
    Done,          // the remote folder holds the pages; the manifest says so
    Refused,       // refused before anything remote changed: text says why
    Busy,          // a write-out or another publish holds the server, or the server's 421
    CannotReach,   // no connection to the server
    LoginRefused,  // user or password refused
    NotSecure,     // no TLS offered, or a certificate not trusted: pin says which
    CutOff,        // the connection dropped and retries did not mend it: the site is whole
    Failed,        // a step was refused (a full disk, a rename): the site is whole
    Stopped,       // the user or a signal stopped it: the site is whole
};

struct PublishReport {
    PublishResult result = PublishResult::Refused;
    std::string text;  // the failure or refusal, one line, no password
    std::size_t sent = 0, renamed = 0, deleted = 0, kept = 0;
    std::uint64_t bytes = 0;
    double seconds = 0;
    std::string remoteFolder;  // the remote folder as the publish used it; empty before login
    // NotSecure because of the certificate: its pin and names, for the box that asks.
    std::string pin;
    std::string certificateNames;
};

// What a publish tells while it runs: called from the publish's own threads, one call at a
// time.
class PublishProgress {
  public:
    virtual ~PublishProgress() = default;
    virtual void Line(const std::string& text) = 0;               // one log line
    virtual void Files(std::size_t done, std::size_t total) = 0;  // files sent of all
};

// Refuses unless the output folder holds a finished write-out (its index.html, and every
// page the index links) and no write-out or other publish of the server runs: it holds the
// write-out's lock until it ends. Then connects, lists the remote folder (made, parents
// first, when missing), plans (MakePlan) and runs the plan's phases, each over up to
// job.connections connections side by side, the next one only when the last ended without a
// failure. Every line it tells is Japanese; the last one has the counts, the bytes, the
// seconds and the outcome. Never throws.
PublishReport Publish(const PublishJob& job, Transfer& transfer, PublishProgress& progress,
                      const std::atomic<bool>& stop);

// The outcome's word in the last line of the log, in Japanese.
std::string ResultText(PublishResult result);

}  // namespace vb::publish
