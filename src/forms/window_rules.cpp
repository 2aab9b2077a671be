#include "forms/window_rules.h"

namespace vb::forms {

void WindowRules::FocusMovedTo(Control* control) {
    if (!control) return;
    Control* from = lastFocused_;
    lastFocused_ = control;
    if (from && from != control && from->LostFocus) guard_(from->LostFocus);
}

bool WindowRules::AllowsClose() {
    if (!closing_ && !form_.IsUnloaded()) {
        bool unloaded = true;
        guard_([&] { unloaded = form_.Unload(UnloadMode::ControlMenu); });
        if (!unloaded) return false;
    }
    closing_ = true;
    return true;
}

void WindowRules::EndSession() {
    if (closing_ || form_.IsUnloaded()) return;
    guard_([&] { form_.Unload(UnloadMode::AppWindows); });
}

}  // namespace vb::forms
