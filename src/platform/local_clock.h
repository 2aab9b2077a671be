#pragma once

#include <cstdint>

namespace vb::platform {

// Seconds elapsed since local midnight (0..86399), by the system's clock and time zone.
std::uint32_t SecondsSinceMidnight();

}  // namespace vb::platform
