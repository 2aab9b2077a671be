#pragma once

#include <exception>
#include <string>

#include "platform/app_title.h"

// A failure escaping a handler the view calls (a click, a tick, a browser notification)
// would end the program inside Qt's event loop. The view catches it at that boundary and
// reports it here instead.
namespace vb::qtview {

// Shows the description in a critical message box.
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

}  // namespace vb::qtview
