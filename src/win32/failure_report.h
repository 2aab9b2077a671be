#pragma once

#include <functional>

// A failure escaping a handler the view calls must not unwind through the system's window
// procedures; the view runs every handler through RunGuarded instead.
namespace vb::win32view {

// Runs the handler; shows what it throws in a critical message box over the active
// window.
void RunGuarded(const std::function<void()>& handler);

}  // namespace vb::win32view
