#pragma once

#include <exception>
#include <string>

#include "platform/app_title.h"

// A failure escaping a handler the view calls (a menu command, a click, a tick, a browser
// notification) must not unwind through the system's window procedures. The view catches
// it at that boundary and reports it here.
namespace vb::win32view {

// Shows the description in a critical message box owned by the active window.
void ReportFailure(const std::string& description);

// Runs a handler, reporting whatever it throws.
template <class Handler>
void RunGuarded(Handler&& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        ReportFailure(e.what());
    } catch (...) {
        ReportFailure(platform::kUnexpectedFailure);
    }
}

}  // namespace vb::win32view
