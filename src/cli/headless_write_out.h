#pragma once

#include "cli/command_line.h"

namespace vb::cli {

// The command line's front end: the program's window, frmVornack, made without a view, its
// start-up run as the program runs it (the settings file beside the program), the fields the
// options name set over it, and its write-out command clicked. The boxes print instead of
// asking, and no events ever come. The settings file is not written: the window is never
// closed, so it never saves. Returns the process's exit status.
int RunWriteOut(const CommandLine& line);

// The whole command-line run: --help, a refused command line, or the write-out.
int RunCommandLine(const std::vector<std::string>& args, bool slashForms);

}  // namespace vb::cli
