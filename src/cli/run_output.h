#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/log_file.h"

namespace vb::cli {

// Where the text of a command-line run goes: the log to the output stream (nothing there
// with --quiet), problems to the error stream with the program's name before each line,
// and both, as they go, to the --log file when one is open. Text comes with '\n' line ends.
class RunOutput {
  public:
    explicit RunOutput(bool quiet) : quiet_(quiet) {}

    // The --log file, opened only once the run has checked where it is: until then its text
    // is held. OpenLog opens it for appending and writes what was held (0, or the system's
    // error number); DropLog forgets it, a refused log file. A run that ends before its checks
    // opens it for its last line.
    void HoldLog(std::string path) { logPath_ = std::move(path), holding_ = true; }
    int OpenLog();
    void DropLog();

    // Lines of the run's log.
    void Log(std::string_view text);
    // A warning of the log: as the log, but on the error stream with --quiet.
    void Warning(std::string_view text);
    // What went wrong, or what stopped the run.
    void Error(std::string_view text);
    bool Quiet() const { return quiet_; }

    // The run's last line, to the error stream as an error (asError) or as the log; only the
    // first one given is written, and nothing after it: a run ended by a signal on another
    // thread (RecordTermination) writes one last line however the two meet.
    void LastLine(std::string_view text, bool asError);
    // A run of two parts (a write-out, then its publish): the second one's text is written
    // after the first one's last line, up to its own.
    void BeginNextPart();

    // The pages the progress has shown written, for a last line written from another thread.
    void NoteProgress(std::int32_t pages) { progress_ = pages; }
    std::int32_t Progress() const { return progress_; }

    // True when text meant for the output stream or the --log file could not all be written
    // there (a full disk, /dev/full); a reader that went away (a closed pipe) does not count.
    bool TextLost() const { return textLost_; }

    // From now on every text shows `shown` where it has `secret` (a server entry's whole text,
    // password included, that names its output folder in the paths of failures).
    void Hide(std::string secret, std::string shown);

    // Runs before any text is written (a progress line on the terminal is taken away).
    std::function<void()> BeforeText;

  private:
    // The text with the secret replaced, or the text itself when it holds none.
    std::string_view Masked(std::string_view text);
    void ToOutputStream(std::string_view text);
    void ToLogFile(std::string_view text);
    void ToErrorStream(std::string_view text);

    bool quiet_;
    platform::AppendedLog log_;
    std::string logPath_;
    std::string secret_, shown_, masked_;
    std::recursive_mutex lock_;  // one text at a time, whole, whichever thread writes it
    bool ended_ = false;         // the last line is written
    bool holding_ = false;       // the --log file is not open yet: its text is in held_
    std::string held_;
    bool textLost_ = false;
    bool outputFailed_ = false;  // a write to the output stream failed: said once
    std::atomic<std::int32_t> progress_ = 0;
    bool logFailed_ = false;  // a write to the log file failed: said once, then not tried
};

// Text as the program composes it for boxes and the log (CR LF line ends) with '\n' ends.
std::string WithNewlines(std::string_view text);

}  // namespace vb::cli
