#include "forms/timer.h"

#include "forms/errors.h"

namespace vb::forms {

void Timer::SetInterval(int milliseconds) {
    if (milliseconds < 0 || milliseconds > 65535) throw InvalidPropertyValue();
    interval_ = milliseconds;
    Notify(Change::Interval);
}

void Timer::RaiseTick() {
    if (Running() && Tick) Tick();
}

}  // namespace vb::forms
