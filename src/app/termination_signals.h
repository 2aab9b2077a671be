#pragma once

#include <functional>

class QObject;

namespace vb::app {

// Turns SIGTERM, SIGINT and SIGHUP into a call on the Qt thread, so that a termination
// request closes the window the same way its close box does (settings saved once).
// The handler itself only writes a byte to a pipe; the call happens in the event loop.
void RouteTerminationSignals(QObject* owner, std::function<void()> onSignal);

}  // namespace vb::app
