#pragma once

#include <functional>
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

    // Opens the --log file for appending; returns 0 or the system's error number.
    int OpenLog(const std::string& path);

    // Lines of the run's log.
    void Log(std::string_view text);
    // A warning of the log: as the log, but on the error stream with --quiet.
    void Warning(std::string_view text);
    // What went wrong, or what stopped the run.
    void Error(std::string_view text);
    bool Quiet() const { return quiet_; }

    // Runs before any text is written (a progress line on the terminal is taken away).
    std::function<void()> BeforeText;

  private:
    void ToLogFile(std::string_view text);
    void ToErrorStream(std::string_view text);

    bool quiet_;
    platform::AppendedLog log_;
    std::string logPath_;
    bool logFailed_ = false;  // a write to the log file failed: said once, then not tried
};

// Text as the program composes it for boxes and the log (CR LF line ends) with '\n' ends.
std::string WithNewlines(std::string_view text);

}  // namespace vb::cli
