#pragma once

#include <cstdint>
#include <vector>

// Little-endian numbers appended to a byte buffer, as the Windows resource files the
// generators write (.cur, .ico) keep them.
namespace vb::tools {

inline void Put16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

inline void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace vb::tools
