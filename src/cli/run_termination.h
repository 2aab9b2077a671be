#pragma once

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

// Called by the entry point's signal watcher on a thread of its own: writes the last line of
// the run in progress, if one is and its last line has not been written. Returns the status
// the process then ends with, 128 + the signal's number, as a shell reports it.
int RecordTermination(int signalNumber);

}  // namespace vb::cli
