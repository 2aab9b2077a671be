#pragma once

#include <exception>
#include <functional>
#include <string>

// A failure escaping a handler the view calls (a click, a tick, a browser notification)
// would end the program inside Qt's event loop. The view catches it at that boundary and
// reports it here instead.
namespace vb::qtview {

// Replaces the report (the default shows the description in a critical message box).
void SetFailureReporter(std::function<void(const std::string& description)> reporter);
void ReportFailure(const std::string& description);

// Runs a handler, reporting whatever it throws.
template <class Handler>
void RunGuarded(Handler&& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        ReportFailure(e.what());
    } catch (...) {
        ReportFailure("unknown failure");
    }
}

}  // namespace vb::qtview
