#include <windows.h>

#include "platform/local_clock.h"

namespace vb::platform {

std::uint32_t SecondsSinceMidnight() {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    return static_cast<std::uint32_t>(local.wHour * 3600 + local.wMinute * 60 + local.wSecond);
}

}  // namespace vb::platform

namespace vb::platform {

std::string LocalTimeIso8601() {
    // The local time and UTC of one moment: their difference is the offset in force, with
    // daylight saving time, whatever the rules of the zone.
    SYSTEMTIME utc{};
    GetSystemTime(&utc);
    SYSTEMTIME local{};
    FILETIME utcFile{}, localFile{};
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) ||
        !SystemTimeToFileTime(&utc, &utcFile) || !SystemTimeToFileTime(&local, &localFile))
        return FormatIso8601(
            {utc.wYear, utc.wMonth, utc.wDay, utc.wHour, utc.wMinute, utc.wSecond, 0});
    const auto ticks = [](const FILETIME& f) {
        return static_cast<long long>((static_cast<unsigned long long>(f.dwHighDateTime) << 32) |
                                      f.dwLowDateTime);
    };
    // FILETIME counts 100-nanosecond steps: 600,000,000 to the minute.
    const int offset = static_cast<int>((ticks(localFile) - ticks(utcFile)) / 600000000LL);
    return FormatIso8601(
        {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond, offset});
}

}  // namespace vb::platform
