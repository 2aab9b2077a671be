#include "codec/decimal.h"

namespace vb::codec {

std::optional<std::uint64_t> DecimalNumber(std::string_view text, std::uint64_t most) {
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (digit > most || value > (most - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

}  // namespace vb::codec
