#include "cli/run_output.h"

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

int RunOutput::OpenLog(const std::string& path) {
    logPath_ = path;
    return log_.Open(path);
}

void RunOutput::Log(std::string_view text) {
    if (BeforeText) BeforeText();
    if (!quiet_) platform::WriteToConsole(ConsoleStream::Output, text);
    ToLogFile(text);
}

void RunOutput::Warning(std::string_view text) {
    if (!quiet_) return Log(text);
    if (BeforeText) BeforeText();
    ToErrorStream(text);
    ToLogFile(text);
}

void RunOutput::Error(std::string_view text) {
    if (BeforeText) BeforeText();
    ToErrorStream(text);
    ToLogFile(text);
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
    if (!log_.IsOpen() || logFailed_) return;
    if (const int error = log_.Write(text)) {
        logFailed_ = true;
        ToErrorStream("ログファイルに書き込めません (cannot write the log file): " + logPath_ +
                      ": " + platform::DescribeOsError(error) + "\n");
    }
}

}  // namespace vb::cli
