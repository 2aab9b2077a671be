#pragma once

#include <functional>

#include "forms/control.h"
#include "forms/control_visitor.h"

namespace vb::forms {

// A timer: while Enabled and Interval > 0, the view raises Tick every Interval
// milliseconds. Enabling a timer that is already enabled changes nothing (its interval is
// not restarted); setting Interval restarts it. An Interval outside 0..65535 is refused with
// InvalidPropertyValue.
class Timer : public Control {
  public:
    using Control::Control;
    const char* TypeName() const override { return "Timer"; }
    void Accept(ControlVisitor& visitor) override { visitor.Visit(*this); }

    int Interval() const { return interval_; }
    void SetInterval(int milliseconds);

    // True while the view should keep the timer running.
    bool Running() const { return Enabled() && interval_ > 0; }

    std::function<void()> Tick;
    // Called by the view when an interval has passed; a stopped timer ignores it.
    void RaiseTick();

  private:
    int interval_ = 0;
};

}  // namespace vb::forms
