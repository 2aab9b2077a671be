#include "ui/thread_checked_services.h"

#include "forms/window_thread.h"

namespace vb::ui {

platform::MsgResult ThreadCheckedServices::CheckedBoxes::Show(const std::string& text,
                                                              platform::MsgButtons buttons,
                                                              platform::MsgIcon icon,
                                                              const std::string& caption) {
    forms::CheckWindowThread("a message box");
    return real_.Show(text, buttons, icon, caption);
}

void ThreadCheckedServices::CheckedEvents::ProcessEvents() {
    forms::CheckWindowThread("the event pump");
    real_.ProcessEvents();
}

int ThreadCheckedServices::CheckedShell::Execute(const std::optional<std::string>& operation,
                                                 const std::string& file,
                                                 const std::optional<std::string>& parameters,
                                                 const std::optional<std::string>& directory,
                                                 int show) {
    forms::CheckWindowThread("the desktop shell");
    return real_.Execute(operation, file, parameters, directory, show);
}

bool ThreadCheckedServices::CheckedShell::OpenFolder(const std::string& folder) {
    forms::CheckWindowThread("the desktop shell");
    return real_.OpenFolder(folder);
}

bool ThreadCheckedServices::CheckedShell::OpenAddress(const std::string& address) {
    forms::CheckWindowThread("the desktop shell");
    return real_.OpenAddress(address);
}

}  // namespace vb::ui
