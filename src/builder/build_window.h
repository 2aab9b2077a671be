#pragma once

#include <string>

#include "forms/combo_box.h"
#include "forms/progress_bar.h"
#include "forms/text_box.h"
#include "platform/file_system.h"
#include "platform/message_box.h"

namespace vb::builder {

// What the window knows about a write-out in progress. The build sets writeOutRunning for
// its whole length, its two yields to the event queue included; while it is set the
// window ignores its other commands (a second write-out, a reload) and holds a request to
// close until the build has returned.
struct RunState {
    bool writeOutRunning = false;
};

// The parts of the main window that the build reads and writes, and the window's services.
// The window builds this from its own members; the build reads the fields at the moments it
// needs their values, as the window shows them then.
struct BuildWindow {
    forms::TextBox& txtSrcPath;
    forms::ComboBox& cboServer;
    forms::ComboBox& cboTitle;
    forms::TextBox& txtMakePageNum;
    forms::TextBox& txtPagePerSrcNum;
    forms::TextBox& txtReplaceTarget;
    forms::TextBox& txtReplaceText;
    forms::TextBox& txtLog;
    forms::ProgressBar& pbrProcess;
    std::string& TemplateText;  // the template as validation last read it

    platform::FileSystemObject& fso;
    platform::MessageBoxService& msgBox;
    platform::EventPump& events;
    RunState& state;
};

}  // namespace vb::builder
