#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The cp932 conversions by table. cp932 keeps no state from one character to the next, so
// what each byte, pair and character converts to is the whole conversion. That table is
// kept in the source (cp932_table.inc): the answers of the C library's iconv ("CP932") about
// every byte, pair and character, written by its generator (tools/cp932_table). Both
// editions so write the same bytes, and no system conversion runs. On first use the table
// is spread out into arrays indexed by byte, pair and code point: converting a page is one
// look-up per character.
namespace vb::codec::cp932::tables {

// The UTF-8 form of one character, one to three bytes; size 0 means no character. Four
// bytes in all, so a conversion can copy an entry whole and move on by its size.
struct Utf8Char {
    char bytes[3] = {};
    std::uint8_t size = 0;
};

struct DecodeTable {
    std::array<bool, 256> lead{};       // a second byte is read after this one
    std::array<Utf8Char, 256> alone{};  // a byte by itself: its character, else its stand-in
    std::vector<Utf8Char> pairs;        // [lead * 256 + trail]: the pair's character, if any
    bool asciiSame = false;             // every byte below 0x80 is that character
};

// The cp932 form of a character: one byte (below 0x100), a pair (lead * 256 + trail) or none.
inline constexpr std::uint16_t kNoCode = 0xFFFF;
struct EncodeTable {
    std::vector<std::uint16_t> codes;  // [code point] for U+0000..U+FFFF; surrogates: kNoCode
    bool asciiSame = false;            // every character below U+0080 is that byte
};

// For AppendReencoded: the form Encode gives the character a byte or a pair decodes to
// (one byte or a pair, as in EncodeTable), or kNoCode for bytes that are no character and
// characters whose form would not decode to them again.
struct ReencodeTable {
    std::array<bool, 256> lead{};
    std::array<std::uint16_t, 256> alone{};
    std::vector<std::uint16_t> pairs;  // [lead * 256 + trail]
    bool asciiSame = false;
};

// The tables, spread out on first use.
const DecodeTable& Decoding();
const EncodeTable& Encoding();
const ReencodeTable& Reencoding();

// True for a character beyond U+FFFF that is converted to nothing (iconv drops the tag
// characters U+E0000..U+E007F).
bool IsDropped(char32_t codePoint);

// cp932 bytes to UTF-8 as iconv converts them; a byte that is no character (alone or as a
// lead before its trail) becomes its stand-in.
std::string Decode(const DecodeTable& table, std::string_view bytes);

// UTF-8 text to cp932 as iconv converts it, appended to out. At each character iconv
// refuses (and at every byte that is no UTF-8), refused(pos) appends what stands for it
// and returns how many bytes it took.
void Encode(const EncodeTable& table, std::string_view text, std::string& out,
            const std::function<std::size_t(std::size_t pos)>& refused);

// cp932 bytes to cp932 bytes as Encode(Decode(bytes)) gives them, appended to out; false,
// out unchanged, at the first byte that is not part of a character the table holds.
bool AppendReencoded(const ReencodeTable& table, std::string_view bytes, std::string& out);

}  // namespace vb::codec::cp932::tables
