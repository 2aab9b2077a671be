#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A short fixed-length name for any text: 16 lowercase hexadecimal digits of its 64-bit
// FNV-1a hash. For names that must stay apart and the same from run to run, not for secrets.
namespace vb::codec {

inline std::string HexHash(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    constexpr char kDigits[] = "0123456789abcdef";
    std::string digits(16, '0');
    for (std::size_t i = digits.size(); i-- > 0; hash >>= 4) digits[i] = kDigits[hash & 0xF];
    return digits;
}

}  // namespace vb::codec
