#include "cli/run_lines.h"

#include <algorithm>
#include <cstdio>

#include "cli/command_line.h"
#include "codec/utf8.h"
#include "platform/process_check.h"

namespace vb::cli {

std::string LoggedName() {
    return std::string(kProgramName) + "[" + std::to_string(platform::ThisProcessId()) + "]";
}

std::string Visible(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        // Printable ASCII, nearly every byte of a log line, goes as it is.
        if (text[pos] >= 0x20 && text[pos] < 0x7F) {
            shown += text[pos++];
            continue;
        }
        const std::size_t start = pos;
        const char32_t c = codec::utf8::DecodeAt(text, pos);
        // Only the shortest form of a character that is one: the decoder also takes overlong
        // forms and surrogates, and gives a stray byte as itself.
        std::string canonical;
        codec::utf8::Append(canonical, c);
        const bool notUtf8 = canonical != text.substr(start, pos - start) ||
                             (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF;
        if (notUtf8) pos = start + 1;
        if (notUtf8 || (c >= 0x80 && c <= 0x9F))
            codec::utf8::Append(shown, U'\uFFFD');
        else if (c < 0x20)
            codec::utf8::Append(shown, U'\u2400' + c);
        else if (c == 0x7F)
            codec::utf8::Append(shown, U'\u2421');
        else
            shown.append(text, start, pos - start);
    }
    return shown;
}

std::string Quoted(std::string_view text) {
    // A line break would split the line; it cannot come from the window's one-line fields
    // but a settings file could hold one. A tab stays a tab; other controls are shown.
    std::string unbroken(text);
    std::replace_if(
        unbroken.begin(), unbroken.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    const std::string_view rest = unbroken;
    std::string quoted = "\"";
    for (std::size_t start = 0, tab; start <= rest.size(); start = tab + 1) {
        tab = std::min(rest.find('\t', start), rest.size());
        if (start > 0) quoted += '\t';
        for (const char c : Visible(rest.substr(start, tab - start))) {
            if (c == '"') quoted += '"';
            quoted += c;
        }
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
