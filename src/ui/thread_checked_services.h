#pragma once

#include <optional>
#include <string>

#include "platform/desktop_shell.h"
#include "platform/message_box.h"

namespace vb::ui {

// The window's message boxes, event pump and desktop shell as the window hands them on to
// its handlers and its write-out: each call is checked to come from the window's thread
// (forms/window_thread.h) before it goes on to the service the entry point passed.
class ThreadCheckedServices {
  public:
    ThreadCheckedServices(platform::MessageBoxService& boxes, platform::EventPump& events,
                          platform::DesktopShell& shell)
        : boxes_(boxes), events_(events), shell_(shell) {}
    ThreadCheckedServices(const ThreadCheckedServices&) = delete;
    ThreadCheckedServices& operator=(const ThreadCheckedServices&) = delete;

    platform::MessageBoxService& Boxes() { return boxes_; }
    platform::EventPump& Events() { return events_; }
    platform::DesktopShell& Shell() { return shell_; }

  private:
    class CheckedBoxes final : public platform::MessageBoxService {
      public:
        explicit CheckedBoxes(platform::MessageBoxService& real) : real_(real) {}
        platform::MsgResult Show(const std::string& text, platform::MsgButtons buttons,
                                 platform::MsgIcon icon, const std::string& caption) override;

      private:
        platform::MessageBoxService& real_;
    };
    class CheckedEvents final : public platform::EventPump {
      public:
        explicit CheckedEvents(platform::EventPump& real) : real_(real) {}
        void ProcessEvents() override;

      private:
        platform::EventPump& real_;
    };
    class CheckedShell final : public platform::DesktopShell {
      public:
        explicit CheckedShell(platform::DesktopShell& real) : real_(real) {}
        int Execute(const std::optional<std::string>& operation, const std::string& file,
                    const std::optional<std::string>& parameters,
                    const std::optional<std::string>& directory, int show) override;
        bool OpenFolder(const std::string& folder) override;
        bool OpenAddress(const std::string& address) override;

      private:
        platform::DesktopShell& real_;
    };

    CheckedBoxes boxes_;
    CheckedEvents events_;
    CheckedShell shell_;
};

}  // namespace vb::ui
