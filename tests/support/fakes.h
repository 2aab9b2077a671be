#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

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
    // The action runs during the n-th yield (1-based).
    void AtYield(int n, std::function<void()> action);

  private:
    int yields_ = 0;
    std::vector<std::pair<int, std::function<void()>>> actions_;
};

}  // namespace vb::test
