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
