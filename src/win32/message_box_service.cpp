#include "win32/message_box_service.h"

#include "platform/app_title.h"
#include "platform/wide_text.h"

namespace vb::win32view {

UINT Win32MessageBoxService::Style(platform::MsgButtons buttons, platform::MsgIcon icon) {
    UINT style = buttons == platform::MsgButtons::YesNo ? MB_YESNO | MB_DEFBUTTON1 : MB_OK;
    switch (icon) {
        case platform::MsgIcon::Critical:
            style |= MB_ICONERROR;
            break;
        case platform::MsgIcon::Question:
            style |= MB_ICONQUESTION;
            break;
        case platform::MsgIcon::Exclamation:
            style |= MB_ICONWARNING;
            break;
        case platform::MsgIcon::Information:
            style |= MB_ICONINFORMATION;
            break;
        case platform::MsgIcon::None:
            break;
    }
    return style;
}

platform::MsgResult Win32MessageBoxService::Show(const std::string& text,
                                                 platform::MsgButtons buttons,
                                                 platform::MsgIcon icon,
                                                 const std::string& caption) {
    // The program's lines already end in CR LF, as the box breaks them.
    const int answer =
        MessageBoxW(IsWindow(owner_) ? owner_ : nullptr, platform::WideFromUtf8(text).c_str(),
                    platform::WideFromUtf8(caption.empty() ? platform::kAppTitle : caption).c_str(),
                    Style(buttons, icon));
    if (buttons == platform::MsgButtons::YesNo)
        return answer == IDYES ? platform::MsgResult::Yes : platform::MsgResult::No;
    return platform::MsgResult::OK;
}

}  // namespace vb::win32view
