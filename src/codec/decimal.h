#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

namespace vb::codec {

// A whole number written in decimal digits alone: at least one digit, no sign, no blank, no
// other character. Nothing when the text is not so or its number exceeds most.
std::optional<std::uint64_t> DecimalNumber(
    std::string_view text, std::uint64_t most = std::numeric_limits<std::uint64_t>::max());

}  // namespace vb::codec
