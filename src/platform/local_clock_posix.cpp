#include <ctime>

#include "platform/local_clock.h"

namespace vb::platform {

std::uint32_t SecondsSinceMidnight() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return static_cast<std::uint32_t>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
}

}  // namespace vb::platform

namespace vb::platform {

std::string LocalTimeIso8601() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    // tm_gmtoff: seconds east of UTC, with daylight saving time in force.
    return FormatIso8601({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                          local.tm_min, local.tm_sec, static_cast<int>(local.tm_gmtoff / 60)});
}

}  // namespace vb::platform
