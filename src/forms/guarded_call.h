#pragma once

#include <exception>
#include <functional>
#include <string>

// A failure escaping a handler that a view calls from its toolkit (a click, a tick, a focus
// loss, a close, a browser notification) must not unwind through the toolkit's event loop or
// the system's window procedures. The view calls every such handler through here.
namespace vb::forms {

// Shows a failure's description to the user (the view's critical message box, or the
// window's own box service).
using FailureReporter = std::function<void(const std::string& description)>;

// Runs the handler. What it throws is handed to report: an exception's own description, the
// unexpected text for anything else.
inline void RunGuarded(const std::function<void()>& handler, const FailureReporter& report,
                       const char* unexpected) {
    try {
        handler();
    } catch (const std::exception& e) {
        report(e.what());
    } catch (...) {
        report(unexpected);
    }
}

}  // namespace vb::forms
