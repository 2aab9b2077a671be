#include <windows.h>

#include "platform/local_clock.h"

namespace vb::platform {

std::uint32_t SecondsSinceMidnight() {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    return static_cast<std::uint32_t>(local.wHour * 3600 + local.wMinute * 60 + local.wSecond);
}

}  // namespace vb::platform
