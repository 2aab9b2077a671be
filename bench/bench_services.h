#pragma once

#include <string>
#include <vector>

#include "platform/message_box.h"

// The benchmark's stand-ins for the user: every question is answered Yes, every box is
// recorded so that a run can tell whether anything but the confirmation came up.
namespace vb::bench {

class YesMessageBoxes : public platform::MessageBoxService {
  public:
    platform::MsgResult Show(const std::string& text, platform::MsgButtons buttons,
                             platform::MsgIcon, const std::string&) override {
        texts_.push_back(text);
        return buttons == platform::MsgButtons::YesNo ? platform::MsgResult::Yes
                                                      : platform::MsgResult::OK;
    }
    const std::vector<std::string>& Texts() const { return texts_; }

  private:
    std::vector<std::string> texts_;
};

// Without a window there are no events to process; the yields are only counted.
class NoEvents : public platform::EventPump {
  public:
    void ProcessEvents() override { ++yields_; }
    int Yields() const { return yields_; }

  private:
    int yields_ = 0;
};

}  // namespace vb::bench
