#pragma once

#include <cstdint>
#include <string>

namespace vb::platform {

// Seconds elapsed since local midnight (0..86399), by the system's clock and time zone.
std::uint32_t SecondsSinceMidnight();

// The local date and time to the second, as ISO 8601 with the offset from UTC:
// "2024-06-07T03:00:05+09:00".
std::string LocalTimeIso8601();

// The fields of that text; offsetMinutes is local time minus UTC.
struct LocalTime {
    int year, month, day, hour, minute, second, offsetMinutes;
};
std::string FormatIso8601(const LocalTime& time);

}  // namespace vb::platform
