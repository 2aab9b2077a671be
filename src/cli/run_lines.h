#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "builder/write_out_outcome.h"

// The first and the last line of a command-line run's log, which tell thirty nights of a
// scheduled run apart: when, what, with which seed, and how it ended. Each is one line of
// "name=value" fields; a text value stands in double quotes, a quote inside it doubled.
namespace vb::cli {

// The program's name as each of these lines gives it, with this process's id: the start and
// the end of one run match when overlapping runs share a log ("VornackBuilder[4242]").
std::string LoggedName();

struct RunStart {
    std::string when;  // local time, ISO 8601 with the offset
    std::string version;
    std::string server, title, pages, perPage;  // as the fields hold them
    std::uint32_t seed = 0;
    std::string outputFolder;
};
std::string FirstLogLine(const RunStart& start);

struct RunEnd {
    std::string when;
    std::int32_t pagesWritten = 0;
    std::size_t warnings = 0;          // warned sources
    std::size_t repeatedWarnings = 0;  // their later picks, not written to this log
    double seconds = 0;
    builder::Outcome outcome = builder::Outcome::NotStarted;
    bool terminated = false;  // ended by a signal while it ran: outcome=terminated
};
std::string LastLogLine(const RunEnd& end);

// The outcome's word in the last line.
std::string_view OutcomeName(builder::Outcome outcome);

// A text value as the lines write it.
std::string Quoted(std::string_view text);

// A text from outside (a file's name, a server or title given or listed) as the terminal and
// the UTF-8 log may show it: each control character as its picture (U+2400 to U+241F, U+2421
// for DEL), a C1 control or a byte that is not UTF-8 as U+FFFD. No escape sequence reaches a
// terminal and the log stays UTF-8.
std::string Visible(std::string_view text);

}  // namespace vb::cli
