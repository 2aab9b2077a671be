#pragma once

#include <cstdint>

// Fun_SystemMetrics: measures the strip of screen below the work area.
namespace vb::winutil {

// Height in twips of the part of the screen below the work area (the task bar when it is
// docked at the bottom; 0 when it is docked elsewhere), rounded half to even.
std::int32_t GetTaskBarHeight();

}  // namespace vb::winutil
