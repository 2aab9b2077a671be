#pragma once

#include "cli/command_line.h"
#include "cli/run_output.h"

namespace vb::cli {

// The command line's front end: the program's window, frmVornack, made without a view, its
// start-up run as the program runs it (the settings file beside the program), the fields the
// options name set over it, and its write-out command clicked. The boxes print instead of
// asking, and no events ever come. The settings file is not written: the window is never
// closed, so it never saves. The log gets a first line (when, what, the seed) and a last one
// (how it ended). Returns the process's exit status, from the write-out's outcome.
int RunWriteOut(const CommandLine& line, RunOutput& out);

// The whole command-line run: --help, --version, a refused command line, or the write-out and
// the publish, the latter through the program's transfer (cli/program_transfer.cpp).
int RunCommandLine(const std::vector<std::string>& args, bool slashForms);

}  // namespace vb::cli
