#include "cli/log_echo.h"

#include <string>

#include "cli/console_boxes.h"
#include "platform/console.h"

namespace vb::cli {

using platform::ConsoleStream;

LogEcho::LogEcho(forms::TextBox& log, forms::ProgressBar& progress)
    : log_(log),
      progress_(progress),
      echoed_(log.CurrentText().size()),
      progressToTerminal_(platform::IsTerminal(ConsoleStream::Error)) {
    log_.SetObserver([this](forms::Change change) {
        if (change == forms::Change::Text || change == forms::Change::TextAppended)
            EchoLog(change == forms::Change::Text);
    });
    progress_.SetObserver([this](forms::Change change) {
        if (change == forms::Change::Progress) ShowProgress();
    });
}

LogEcho::~LogEcho() {
    log_.SetObserver(nullptr);
    progress_.SetObserver(nullptr);
    ClearProgress();
}

void LogEcho::EchoLog(bool replaced) {
    // A new text starts the log afresh (the run's first line); an appended one continues it.
    const std::string& text = log_.CurrentText();
    if (replaced || echoed_ > text.size()) echoed_ = 0;
    started_ = started_ || replaced;
    if (echoed_ == text.size()) return;
    ClearProgress();
    platform::WriteToConsole(ConsoleStream::Output,
                             WithNewlines(std::string_view(text).substr(echoed_)));
    echoed_ = text.size();
}

void LogEcho::ShowProgress() {
    if (!progressToTerminal_ || !started_ || progress_.Max() <= 0) return;
    // Redrawn when the percentage changes, not per page: a terminal is slow to draw.
    const int percent = static_cast<int>(progress_.Value() * 100 / progress_.Max());
    if (percent == shownPercent_) return;
    shownPercent_ = percent;
    platform::WriteToConsole(ConsoleStream::Error,
                             "\r書き出し中 (writing) " + std::to_string(percent) + "%");
}

void LogEcho::ClearProgress() {
    if (shownPercent_ < 0) return;
    shownPercent_ = -1;
    platform::WriteToConsole(ConsoleStream::Error, "\r" + std::string(32, ' ') + "\r");
}

}  // namespace vb::cli
