#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop_shell.h"
#include "platform/message_box.h"

namespace vb::test {

// A message-box service whose answers a test queues. Every box shown is recorded.
// With no queued answer, OK boxes answer OK and Yes/No boxes answer Yes.
class FakeMessageBox : public platform::MessageBoxService {
  public:
    struct Shown {
        std::string text;
        platform::MsgButtons buttons;
        platform::MsgIcon icon;
        std::string caption;
    };

    platform::MsgResult Show(const std::string& text, platform::MsgButtons buttons,
                             platform::MsgIcon icon, const std::string& caption) override;

    void QueueAnswer(platform::MsgResult answer) { answers_.push_back(answer); }
    // Runs while the box is "open", before it answers (for example to change a file).
    void OnNextShow(std::function<void()> action) { onShow_.push_back(std::move(action)); }

    const std::vector<Shown>& shown() const { return shown_; }
    std::vector<std::string> texts() const;

  private:
    std::deque<platform::MsgResult> answers_;
    std::deque<std::function<void()>> onShow_;
    std::vector<Shown> shown_;
};

// An event pump that counts its yields and can run an action at a given yield.
class CountingEventPump : public platform::EventPump {
  public:
    void ProcessEvents() override;
    int yields() const { return yields_; }
    // The action runs during the n-th yield from now (1-based).
    void AtYield(int n, std::function<void()> action);

  private:
    int yields_ = 0;
    std::vector<std::pair<int, std::function<void()>>> actions_;
};

// Records what the window hands to the desktop instead of starting programs.
class FakeDesktopShell : public platform::DesktopShell {
  public:
    int Execute(const std::optional<std::string>&, const std::string& file,
                const std::optional<std::string>&, const std::optional<std::string>&,
                int show) override {
        executed.push_back(file);
        shows.push_back(show);
        return executeResult;
    }
    bool OpenFolder(const std::string& folder) override {
        folders.push_back(folder);
        return true;
    }
    bool OpenAddress(const std::string& address) override {
        addresses.push_back(address);
        return addressResult;
    }

    std::vector<std::string> executed;
    std::vector<int> shows;
    std::vector<std::string> folders;
    std::vector<std::string> addresses;
    int executeResult = platform::kShellStarted;
    bool addressResult = true;
};

}  // namespace vb::test
