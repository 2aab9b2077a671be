#pragma once

#include "platform/message_box.h"

namespace vb::qtview {

// Lets Qt handle the events that are waiting (painting, input, timers, browser
// notifications), then returns.
class QtEventPump : public platform::EventPump {
  public:
    void ProcessEvents() override;
};

}  // namespace vb::qtview
