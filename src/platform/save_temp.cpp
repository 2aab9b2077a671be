#include "platform/save_temp.h"

namespace vb::platform::save_temp {

std::optional<std::string_view> AfterOwnMarker(std::string_view name, std::string_view prefix) {
    const std::string own = std::string(prefix) + std::string(kMarker) + ThisMachineTag() + "-";
    if (!name.starts_with(own)) return std::nullopt;
    name.remove_prefix(own.size());
    return name;
}

std::optional<std::uint64_t> TakeNumber(std::string_view& rest, char delimiter,
                                        std::uint64_t most) {
    std::size_t end = delimiter == '\0' ? rest.size() : rest.find(delimiter);
    if (end == std::string_view::npos || end == 0 || end > 20) return std::nullopt;
    if (rest[0] == '0' && end > 1) return std::nullopt;
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < end; ++i) {
        const char c = rest[i];
        if (c < '0' || c > '9') return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (digit > most || value > (most - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    rest.remove_prefix(delimiter == '\0' ? end : end + 1);
    return value;
}

}  // namespace vb::platform::save_temp
