#pragma once

#include <string>

#include "cli/run_output.h"
#include "platform/message_box.h"

namespace vb::cli {

// The message boxes of a command-line run: each box's text goes to the error stream instead
// of a window, and the confirmation is answered by --yes (without it: No, after printing the
// question). The exit status comes from the write-out's outcome, never from a box.
class ConsoleMessageBoxes : public platform::MessageBoxService {
  public:
    ConsoleMessageBoxes(bool yes, RunOutput& out) : yes_(yes), out_(out) {}
    platform::MsgResult Show(const std::string& text, platform::MsgButtons buttons,
                             platform::MsgIcon icon, const std::string& caption) override;

  private:
    bool yes_;
    RunOutput& out_;
};

}  // namespace vb::cli
