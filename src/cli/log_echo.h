#pragma once

#include <cstddef>

#include "forms/progress_bar.h"
#include "forms/text_box.h"

namespace vb::cli {

// Shows a command-line run what the window would: each line the log gets goes to the output
// stream as it comes, and, when the error stream is a terminal, the progress bar's value
// as one line redrawn in place there. Watches the two controls for as long as it lives.
class LogEcho {
  public:
    LogEcho(forms::TextBox& log, forms::ProgressBar& progress);
    ~LogEcho();
    LogEcho(const LogEcho&) = delete;
    LogEcho& operator=(const LogEcho&) = delete;

    // Takes the progress line off the terminal, so that other text starts a line of its own.
    void ClearProgress();

  private:
    void EchoLog(bool replaced);
    void ShowProgress();

    forms::TextBox& log_;
    forms::ProgressBar& progress_;
    std::size_t echoed_ = 0;  // how much of the log's text went out
    bool progressToTerminal_;
    bool started_ = false;   // the run's first log line came: progress is shown from then on
    int shownPercent_ = -1;  // the percentage on the terminal's progress line; -1: none
};

}  // namespace vb::cli
