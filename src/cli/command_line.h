#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/app_title.h"

// The program's command line: what a scheduled write-out asks for, read from the arguments
// that follow the program's name. Only the program's own options make a command-line run;
// without them the program opens its window.
namespace vb::cli {

// The name every error line of a command-line run starts with, and --version prints.
using platform::kProgramName;

// What the process returns. Scripts tell the outcomes apart by these numbers.
inline constexpr int kExitSuccess = 0;  // the write-out or publish finished (or --help, --version)
inline constexpr int kExitWriteFailure = 1;    // the write-out failed while it ran, or the
                                               // server refused a step of the publish
inline constexpr int kExitBadCommandLine = 2;  // an unknown option or a bad value
inline constexpr int kExitRefused = 3;         // the job was refused, or not confirmed
// Another write-out or publish holds the server's output folder, or the server was busy or cut
// the publish off: try again later (sysexits' EX_TEMPFAIL).
inline constexpr int kExitBusy = 75;
// A publish's own, in sysexits' spirit: the server cannot be reached (EX_UNAVAILABLE), it
// offers no TLS or a certificate that is not trusted (EX_PROTOCOL), it refused the login
// (EX_NOPERM).
inline constexpr int kExitCannotReach = 69;
inline constexpr int kExitNotSecure = 76;
inline constexpr int kExitLoginRefused = 77;
// The pages were written, but the log could not all be written to the output stream or the
// --log file (a full disk): the run's record is incomplete (sysexits' EX_IOERR).
inline constexpr int kExitLogLost = 74;
// A run ended by SIGTERM, SIGINT or SIGHUP (Linux): 128 + the signal's number, after a last
// log line with outcome=terminated.
inline constexpr int kExitTerminated = 143;
// Only from VornackBuilder.com, the Windows console launcher: the .exe could not be started
// (sysexits' EX_OSERR), and the run was ended by Ctrl+C, Ctrl+Break or the console's closing
// (128 + SIGINT, what a shell reports for a run that Ctrl+C ended on Linux). The latter also
// from a publish that Ctrl+C or a termination request stopped (the site whole).
inline constexpr int kExitCannotStart = 71;
inline constexpr int kExitInterrupted = 130;

// What VornackBuilder.com returns for the .exe's run: the .exe's own status, unless Ctrl+C
// came (`interrupted`) and the .exe did not end by itself, or ended as a console program
// that Ctrl+C ends at once does (STATUS_CONTROL_C_EXIT): then 130. A publish that stopped
// after its steps under way returns its own 130; one that ended first, its own status.
inline int LauncherStatus(bool interrupted, bool endedByItself, unsigned long exeStatus) {
    constexpr unsigned long kControlCExit = 0xC000013AUL;
    if (!interrupted) return static_cast<int>(exeStatus);
    return endedByItself && exeStatus != kControlCExit ? static_cast<int>(exeStatus)
                                                       : kExitInterrupted;
}

struct CommandLine {
    bool help = false;               // --help: the options are listed, nothing else runs
    bool version = false;            // --version: the program's name and version, nothing else runs
    bool writeOut = false;           // --write-out
    bool publish = false;            // --publish: after the write-out, or alone
    bool dryRun = false;             // --dry-run: the publish's plan, nothing changed remote
    bool yes = false;                // --yes: the confirmation to empty the output folder
    bool quiet = false;              // --quiet: nothing on the output stream
    std::optional<std::string> log;  // --log FILE: the whole log appended to FILE
    // Each given field overrides the window's field of the same meaning after the start.
    std::optional<std::string> server;   // a server of the settings file, by its list name
    std::optional<std::string> title;    // a title of the settings file
    std::optional<std::string> source;   // the source folder
    std::optional<std::string> pages;    // the page count, as typed in the window
    std::optional<std::string> perPage;  // the sources per page, as typed in the window
    std::optional<std::string> target;   // the replacement target
    std::optional<std::string> replace;  // the replacement text
    std::optional<std::uint32_t> seed;   // fixes the source picks and page names
    bool operator==(const CommandLine&) const = default;
};

// A command line, or why it is refused (one line naming the argument, in Japanese and
// English). The counts and texts are not checked here: the write-out checks them as the
// window does, with the window's own messages.
struct ParsedCommandLine {
    std::optional<CommandLine> line;
    std::string error;
};

// Reads "--name value" and "--name=value"; with slashForms (Windows) also "/name value",
// "/name:value" and "/?", with the names in any letter case there. Every option may appear
// once; "--" ends the options (the program takes no other arguments); --write-out or
// --publish is required unless --help or --version is given, and --dry-run goes with
// --publish.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args, bool slashForms);

// True when the arguments ask for a command-line run: one of them, before any "--", is one
// of the command line's options (--write-out, --dry-run, --server …, --help, -h, -?, /?) in
// any form ParseCommandLine reads, or, on Windows, any option at all ("/x", "--x"), which
// ParseCommandLine then refuses. Other arguments (a file dropped on the program, a
// toolkit's own options) open the window.
bool IsCommandLineRun(const std::vector<std::string>& args, bool slashForms);

// The options, the exit statuses and an example, in Japanese and English.
std::string HelpText(bool slashForms);

}  // namespace vb::cli
