#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/message_box.h"

namespace vb::cli {

// The message boxes of a command-line run: each box's text goes to the error stream instead
// of a window, and the confirmation is answered by --yes (without it: No, after printing the
// question). What the boxes said decides the process's exit status.
class ConsoleMessageBoxes : public platform::MessageBoxService {
  public:
    explicit ConsoleMessageBoxes(bool yes) : yes_(yes) {}
    platform::MsgResult Show(const std::string& text, platform::MsgButtons buttons,
                             platform::MsgIcon icon, const std::string& caption) override;

    // A failure was reported (a critical box): the start-up or the write-out failed.
    bool Failed() const { return failed_; }
    // The exit status of a write-out after it returned: a failure, a refused job (a warning
    // box, or the confirmation answered No), or success once confirmed with nothing else.
    int ExitStatus() const;

    // Runs before a box's text is printed (the run takes its progress line away).
    std::function<void()> BeforeText;

  private:
    bool yes_;
    bool asked_ = false;
    bool failed_ = false;
    bool refused_ = false;
};

// Text as the program composes it for boxes and the log (CR LF line ends) with '\n' ends,
// as the console writer takes it.
std::string WithNewlines(std::string_view text);

}  // namespace vb::cli
