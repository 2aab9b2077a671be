#pragma once

#include <string>

namespace vb::platform {

enum class MsgButtons { OK, YesNo };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgResult { OK, Yes, No };

// Modal message boxes. Text lines are separated by CR LF, as the program composes them.
// The window implements this with real dialogs; tests queue answers.
class MessageBoxService {
  public:
    virtual ~MessageBoxService() = default;
    virtual MsgResult Show(const std::string& text, MsgButtons buttons, MsgIcon icon,
                           const std::string& caption) = 0;
};

// "Let pending window events run, then return."
class EventPump {
  public:
    virtual ~EventPump() = default;
    virtual void ProcessEvents() = 0;
};

}  // namespace vb::platform
