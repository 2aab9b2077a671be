#include "cli/run_output.h"

#include <utility>

#include "cli/command_line.h"
#include "platform/console.h"
#include "platform/system_error.h"

namespace vb::cli {

using platform::ConsoleStream;

std::string WithNewlines(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

int RunOutput::OpenLog() {
    const std::lock_guard lock(lock_);
    if (!holding_) return 0;
    holding_ = false;
    if (const int error = log_.Open(logPath_)) return error;
    ToLogFile(std::exchange(held_, {}));
    return 0;
}

void RunOutput::DropLog() {
    const std::lock_guard lock(lock_);
    holding_ = false;
    held_.clear();
}

void RunOutput::Hide(std::string secret, std::string shown) {
    secret_ = std::move(secret);
    shown_ = std::move(shown);
}

std::string_view RunOutput::Masked(std::string_view text) {
    if (secret_.empty() || text.find(secret_) == std::string_view::npos) return text;
    masked_.assign(text);
    for (std::size_t at = 0; (at = masked_.find(secret_, at)) != std::string::npos;
         at += shown_.size())
        masked_.replace(at, secret_.size(), shown_);
    return masked_;
}

void RunOutput::Log(std::string_view text) {
    const std::lock_guard lock(lock_);
    if (ended_) return;
    text = Masked(text);
    if (BeforeText) BeforeText();
    if (!quiet_) ToOutputStream(text);
    ToLogFile(text);
}

void RunOutput::Warning(std::string_view text) {
    const std::lock_guard lock(lock_);
    if (!quiet_) return Log(text);
    if (ended_) return;
    text = Masked(text);
    if (BeforeText) BeforeText();
    ToErrorStream(text);
    ToLogFile(text);
}

void RunOutput::Error(std::string_view text) {
    const std::lock_guard lock(lock_);
    if (ended_) return;
    text = Masked(text);
    if (BeforeText) BeforeText();
    ToErrorStream(text);
    ToLogFile(text);
}

void RunOutput::LastLine(std::string_view text, bool asError) {
    const std::lock_guard lock(lock_);
    if (holding_) {
        if (const int error = OpenLog())
            ToErrorStream("ログファイルを開けません (cannot open the log file): " + logPath_ +
                          "\n" + platform::DescribeOsError(error) + "\n");
    }
    if (asError)
        Error(text);
    else
        Log(text);
    ended_ = true;
}

void RunOutput::BeginNextPart() {
    const std::lock_guard lock(lock_);
    ended_ = false;
}

void RunOutput::ToOutputStream(std::string_view text) {
    if (outputFailed_) return;
    if (const int error = platform::WriteToConsole(ConsoleStream::Output, text)) {
        outputFailed_ = textLost_ = true;
        ToErrorStream("標準出力に書き込めません (cannot write the standard output): " +
                      platform::DescribeOsError(error) + "\n");
    }
}

void RunOutput::ToErrorStream(std::string_view text) {
    // Each line names the program, as a scheduler's mail of many programs' errors needs.
    std::string named;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        named.append(kProgramName).append(": ").append(line) += '\n';
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    platform::WriteToConsole(ConsoleStream::Error, named);
}

void RunOutput::ToLogFile(std::string_view text) {
    if (holding_) {
        held_ += text;
        return;
    }
    if (!log_.IsOpen() || logFailed_) return;
    if (const int error = log_.Write(text)) {
        logFailed_ = textLost_ = true;
        ToErrorStream("ログファイルに書き込めません (cannot write the log file): " + logPath_ +
                      ": " + platform::DescribeOsError(error) + "\n");
    }
}

}  // namespace vb::cli
