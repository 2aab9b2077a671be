#pragma once

#include "forms/timer.h"

namespace vb::forms {

// What a view does with the system's timer behind a Timer after a change of it (a view shown
// for the first time takes it as a change of Enabled): enabling a running timer changes
// nothing, its interval goes on; a new Interval restarts it; a timer no longer Running stops.
enum class TimerStep { Keep, Stop, Start };

inline TimerStep StepAfter(const Timer& timer, Change change, bool systemTimerRuns) {
    if (change != Change::Enabled && change != Change::Interval) return TimerStep::Keep;
    if (!timer.Running()) return TimerStep::Stop;
    if (change == Change::Interval || !systemTimerRuns) return TimerStep::Start;
    return TimerStep::Keep;
}

}  // namespace vb::forms
