#pragma once

#include <functional>

#include "forms/control.h"
#include "forms/form.h"

namespace vb::forms {

// What a window drawing a form decides alike in every view: which focus moves are losses
// of a control's focus, and how a close and the end of the desktop session go through the
// form. The view tells it what its toolkit saw and does what it answers.
class WindowRules {
  public:
    // How the view runs a handler it calls from its toolkit (its RunGuarded): a failure is
    // reported and goes no further.
    using Guard = void (*)(const std::function<void()>& handler);

    WindowRules(Form& form, Guard guard) : form_(form), guard_(guard) {}

    // The focus went to a control of this window; nullptr when it went anywhere else (a
    // menu, a message box, another program). Focus that leaves the controls is no move
    // between them: the last control keeps its claim until another control of this window
    // takes the focus, and only then loses it.
    void FocusMovedTo(Control* control);

    // The user closes the window (close box, system menu, a close from another program):
    // the form is unloaded, which runs its QueryUnload once. True when the window is to go;
    // a failing QueryUnload is reported and the window goes all the same.
    bool AllowsClose();

    // The desktop session ends. A form that holds the close (it is busy) closes later by
    // itself, and a later close must still ask it, so the window is not marked closing here.
    void EndSession();

    // The window goes (the form was unloaded, or the toolkit destroys it): no close asks the
    // form any more.
    void MarkClosing() { closing_ = true; }
    bool Closing() const { return closing_; }

  private:
    Form& form_;
    Guard guard_;
    Control* lastFocused_ = nullptr;
    bool closing_ = false;
};

}  // namespace vb::forms
