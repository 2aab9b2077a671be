#pragma once

#include <string_view>

// The process's standard output and error streams, for the text of a command-line run.
namespace vb::platform {

enum class ConsoleStream { Output, Error };

// Writes UTF-8 text whose lines end in '\n' the way the stream's reader expects it: on POSIX
// as it is; on Windows a console gets it as UTF-16 (WriteConsoleW, so that Japanese shows
// whatever the console's code page), a file or pipe as UTF-8 with CR LF line ends. Text for
// a stream that is closed or missing (a run with no console) is dropped. Returns 0, or the
// system's error number when a write failed (a full disk); a reader that went away (a closed
// pipe) and a missing stream return 0: the text was not wanted.
int WriteToConsole(ConsoleStream stream, std::string_view utf8);

// True when the stream is a terminal (a console on Windows), where a progress line can be
// redrawn in place.
bool IsTerminal(ConsoleStream stream);

}  // namespace vb::platform
