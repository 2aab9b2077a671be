#pragma once

#include <functional>

// A failure escaping a handler the view calls would end the program inside Qt's event loop;
// the view runs every handler through RunGuarded instead.
namespace vb::qtview {

// Runs the handler; shows what it throws in a critical message box over the active
// window.
void RunGuarded(const std::function<void()>& handler);

}  // namespace vb::qtview
