#include "cli/log_echo.h"

#include <string>
#include <string_view>

#include "builder/messages.h"
#include "cli/run_lines.h"
#include "platform/console.h"

namespace vb::cli {

using platform::ConsoleStream;

namespace {

// Where the line at the start of text ends (past its end), or npos while it has not come.
// The log's lines end with CR LF; a warning's ends with its own closing text, so a source
// named with a line break is still one line (and warned of once).
std::size_t LineEnd(std::string_view text) {
    const std::string_view warning = builder::msg::kWarnMissingTargetBefore;
    const std::string_view end =
        text.starts_with(warning) ? builder::msg::kWarnMissingTargetAfter : "\r\n";
    const std::size_t at = text.find(end, text.starts_with(warning) ? warning.size() : 0);
    return at == std::string_view::npos ? at : at + end.size();
}

// The line without its CR LF, as the terminal and the log may show it (Visible): a name may
// hold any byte.
std::string Shown(std::string_view line) {
    if (line.ends_with("\r\n")) line.remove_suffix(2);
    return Visible(line) + "\n";
}

}  // namespace

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
    if (!partial_.empty()) EchoLine(Shown(partial_));
    ClearProgress();
}

void LogEcho::EchoLog(bool replaced) {
    // A new text starts the log afresh (the run's first line); an appended one continues it.
    const std::string& text = log_.CurrentText();
    if (replaced || echoed_ > text.size()) echoed_ = 0;
    started_ = started_ || replaced;
    if (echoed_ == text.size()) return;
    partial_.append(text, echoed_);
    echoed_ = text.size();
    std::string_view rest = partial_;
    for (std::size_t end; (end = LineEnd(rest)) != std::string_view::npos; rest.remove_prefix(end))
        EchoLine(Shown(rest.substr(0, end)));
    partial_.erase(0, partial_.size() - rest.size());
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
