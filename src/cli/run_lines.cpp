#include "cli/run_lines.h"

#include <cstdio>

#include "cli/command_line.h"
#include "platform/process_check.h"

namespace vb::cli {

std::string LoggedName() {
    return std::string(kProgramName) + "[" + std::to_string(platform::ThisProcessId()) + "]";
}

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        // A line break would split the line; it cannot come from the window's one-line fields
        // but a settings file could hold one.
        if (c == '\r' || c == '\n') {
            quoted += ' ';
            continue;
        }
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string FirstLogLine(const RunStart& s) {
    return s.when + " " + LoggedName() + " " + s.version +
           " 開始 (start) server=" + Quoted(s.server) + " title=" + Quoted(s.title) +
           " pages=" + Quoted(s.pages) + " per-page=" + Quoted(s.perPage) +
           " seed=" + std::to_string(s.seed) + " output=" + Quoted(s.outputFolder) + "\n";
}

std::string_view OutcomeName(builder::Outcome outcome) {
    switch (outcome) {
        case builder::Outcome::Done:
            return "done";
        case builder::Outcome::Refused:
            return "refused";
        case builder::Outcome::Unconfirmed:
            return "unconfirmed";
        case builder::Outcome::Busy:
            return "busy";
        case builder::Outcome::Failed:
            return "failed";
        case builder::Outcome::NotStarted:
            break;
    }
    return "not-started";
}

std::string LastLogLine(const RunEnd& e) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", e.seconds);
    return e.when + " " + LoggedName() +
           " 終了 (end) pages-written=" + std::to_string(e.pagesWritten) +
           " warnings=" + std::to_string(e.warnings) +
           " repeated-warnings=" + std::to_string(e.repeatedWarnings) + " seconds=" + seconds +
           " outcome=" + std::string(e.terminated ? "terminated" : OutcomeName(e.outcome)) + "\n";
}

}  // namespace vb::cli
