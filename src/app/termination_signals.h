#pragma once

#include <functional>

class QObject;

namespace vb::app {

// Turns SIGTERM, SIGINT and SIGHUP into a call on the Qt thread, so that a termination
// request closes the window the same way its close box does (settings saved once).
// The handler itself only writes a byte to a pipe; the call happens in the event loop.
// Linux edition only: on Windows the same requests reach the window as WM_CLOSE and
// WM_ENDSESSION, which the Win32 view routes to the same closing road.
void RouteTerminationSignals(QObject* owner, std::function<void()> onSignal);

// For a command-line run, which has no event loop: blocks SIGTERM, SIGINT and SIGHUP in the
// calling thread and every thread it starts later, and waits for them on a thread of its
// own, which calls onSignal with the signal's number (on that thread) and ends the process
// at once with the status it returns; a negative one (a publish asked to stop, which ends by
// itself) leaves it running until the next signal. Call before any other thread starts.
void EndOnTerminationSignals(int (*onSignal)(int));

}  // namespace vb::app
