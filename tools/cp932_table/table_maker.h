#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The codec's cp932 table made from this system's iconv ("CP932"): every byte, every pair
// after a lead byte and every character of the Basic Multilingual Plane is asked about, as
// the codec asked at run time when it made its tables from iconv, and the answers are written
// as the source file the codec compiles (src/codec/cp932_table.inc).
namespace vb::tools::cp932_table {

inline constexpr char32_t kNoCharacter = 0xFFFFFFFF;
inline constexpr std::uint16_t kNoCode = 0xFFFF;

struct Answers {
    std::array<bool, 256> lead{};          // iconv wants a second byte after this one
    std::array<char32_t, 256> alone{};     // the character a byte is by itself, or none
    std::vector<char32_t> pairs;           // [lead * 256 + trail]: the pair's character, or none
    std::vector<std::uint16_t> encodings;  // [code point]: one byte, lead * 256 + trail, or none
    std::vector<char32_t> dropped;         // characters beyond U+FFFF converted to no bytes
};

// Throws std::runtime_error when iconv cannot convert cp932 or answers something the table
// cannot hold: a code of more than one character, a character beyond U+FFFF, a character
// among the codec's stand-ins for undecodable bytes, a form of more than two bytes, no form
// (nothing written) for a character up to U+FFFF, or a form for one beyond.
Answers AskIconv();

// The source text of the table (see cp932_table.inc for its layout).
std::string TableSource(const Answers& answers);

}  // namespace vb::tools::cp932_table
