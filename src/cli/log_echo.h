#pragma once

#include <cstddef>
#include <set>
#include <string>

#include "cli/run_output.h"
#include "forms/progress_bar.h"
#include "forms/text_box.h"

namespace vb::cli {

// Shows a command-line run what the window would: each line the log gets goes out as it
// comes, and, when the error stream is a terminal, the progress bar's value as one line
// redrawn in place there. A source without the target word is warned of once, at its first
// pick; its later picks are only counted (the window's log has a line for each). Watches the
// two controls for as long as it lives.
class LogEcho {
  public:
    LogEcho(forms::TextBox& log, forms::ProgressBar& progress, RunOutput& out);
    ~LogEcho();
    LogEcho(const LogEcho&) = delete;
    LogEcho& operator=(const LogEcho&) = delete;

    // Takes the progress line off the terminal, so that other text starts a line of its own.
    void ClearProgress();

    // Warned sources, and their picks after the first, which were not written.
    std::size_t Warnings() const { return warned_.size(); }
    std::size_t RepeatedWarnings() const { return repeated_; }

  private:
    void EchoLog(bool replaced);
    void EchoLine(const std::string& line);
    void ShowProgress();

    forms::TextBox& log_;
    forms::ProgressBar& progress_;
    RunOutput& out_;
    std::size_t echoed_ = 0;  // how much of the log's text went out
    std::string partial_;     // the start of a line whose end has not come yet, as logged
    std::set<std::string> warned_;
    std::size_t repeated_ = 0;
    bool progressToTerminal_;
    bool started_ = false;   // the run's first log line came: progress is shown from then on
    int shownPercent_ = -1;  // the percentage on the terminal's progress line; -1: none
};

}  // namespace vb::cli
