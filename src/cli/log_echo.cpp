#include "cli/log_echo.h"

#include <string>

#include "builder/messages.h"
#include "platform/console.h"

namespace vb::cli {

using platform::ConsoleStream;

LogEcho::LogEcho(forms::TextBox& log, forms::ProgressBar& progress, RunOutput& out)
    : log_(log),
      progress_(progress),
      out_(out),
      echoed_(log.CurrentText().size()),
      progressToTerminal_(!out.Quiet() && platform::IsTerminal(ConsoleStream::Error)) {
    log_.SetObserver([this](forms::Change change) {
        if (change == forms::Change::Text || change == forms::Change::TextAppended)
            EchoLog(change == forms::Change::Text);
    });
    progress_.SetObserver([this](forms::Change change) {
        if (change == forms::Change::Progress) ShowProgress();
    });
    out_.BeforeText = [this] { ClearProgress(); };
}

LogEcho::~LogEcho() {
    log_.SetObserver(nullptr);
    progress_.SetObserver(nullptr);
    out_.BeforeText = nullptr;
    if (!partial_.empty()) EchoLine(partial_ + "\n");
    ClearProgress();
}

void LogEcho::EchoLog(bool replaced) {
    // A new text starts the log afresh (the run's first line); an appended one continues it.
    const std::string& text = log_.CurrentText();
    if (replaced || echoed_ > text.size()) echoed_ = 0;
    started_ = started_ || replaced;
    if (echoed_ == text.size()) return;
    std::string lines = partial_ + WithNewlines(std::string_view(text).substr(echoed_));
    echoed_ = text.size();
    std::size_t start = 0;
    for (std::size_t end; (end = lines.find('\n', start)) != std::string::npos; start = end + 1)
        EchoLine(lines.substr(start, end + 1 - start));
    partial_ = lines.substr(start);
}

void LogEcho::EchoLine(const std::string& line) {
    if (!line.starts_with(builder::msg::kWarnMissingTargetBefore)) return out_.Log(line);
    if (warned_.insert(line).second)
        out_.Warning(line);
    else
        ++repeated_;
}

void LogEcho::ShowProgress() {
    out_.NoteProgress(static_cast<std::int32_t>(progress_.Value()));
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
