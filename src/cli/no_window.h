#pragma once

#include <optional>
#include <string>

#include "platform/desktop_shell.h"
#include "platform/message_box.h"

// What a command-line run hands its window in place of a desktop: nothing is ever waiting to
// run, and no other program is started (neither the write-out nor the publish asks for one).
namespace vb::cli {

class NoEvents : public platform::EventPump {
  public:
    void ProcessEvents() override {}
};

class NoDesktop : public platform::DesktopShell {
  public:
    int Execute(const std::optional<std::string>&, const std::string&,
                const std::optional<std::string>&, const std::optional<std::string>&,
                int) override {
        return platform::kShellNoAssociation;
    }
    bool OpenFolder(const std::string&) override { return false; }
    bool OpenAddress(const std::string&) override { return false; }
};

}  // namespace vb::cli
