#pragma once

#include <atomic>
#include <chrono>

#include "cli/run_output.h"

// A command-line run ended by a signal (SIGTERM from a timeout wrapper, systemd or a
// shutdown; SIGINT from Ctrl+C; SIGHUP from a closed terminal): its log still gets a last
// line, outcome=terminated, which a scheduled run's record would otherwise lack.
namespace vb::cli {

// Makes the run the one a signal ends, for as long as the object lives.
class TerminationRecord {
  public:
    TerminationRecord(RunOutput& out, std::chrono::steady_clock::time_point started);
    ~TerminationRecord();
    TerminationRecord(const TerminationRecord&) = delete;
    TerminationRecord& operator=(const TerminationRecord&) = delete;
};

// Makes a publish the run a signal stops, for as long as the object lives: the first signal
// asks it to stop (it ends after its steps under way, with the site whole and its own last
// line written); a second one ends the process at once.
class PublishTermination {
  public:
    explicit PublishTermination(std::atomic<bool>& stop);
    ~PublishTermination();
    PublishTermination(const PublishTermination&) = delete;
    PublishTermination& operator=(const PublishTermination&) = delete;
    // The signal that stopped the publish, 0 when none came.
    int Signal() const;
};

// Called by the entry point's signal watcher on a thread of its own: writes the last line of
// the run in progress, if one is and its last line has not been written. Returns the status
// the process then ends with, 128 + the signal's number, as a shell reports it; -1 when a
// publish was asked to stop and ends by itself.
int RecordTermination(int signalNumber);

}  // namespace vb::cli
