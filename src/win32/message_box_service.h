#pragma once

#include <windows.h>

#include "platform/message_box.h"

namespace vb::win32view {

// Message boxes drawn by MessageBoxW, owned by the main window once it is set (a box
// without an owner could open behind the top-most window). Yes is the default button.
class Win32MessageBoxService : public platform::MessageBoxService {
  public:
    void SetOwner(HWND owner) { owner_ = owner; }
    platform::MsgResult Show(const std::string& text, platform::MsgButtons buttons,
                             platform::MsgIcon icon, const std::string& caption) override;

    // The MessageBoxW style for the buttons and icon.
    static UINT Style(platform::MsgButtons buttons, platform::MsgIcon icon);

  private:
    HWND owner_ = nullptr;
};

}  // namespace vb::win32view
