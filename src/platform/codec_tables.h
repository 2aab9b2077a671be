#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The cp932 conversions by table. iconv converts each character on its own (cp932 keeps no
// state from one character to the next), so it is asked once about every byte, every byte
// pair and every character of the Basic Multilingual Plane, and its answers are kept.
// Converting a page is then one look-up per character with iconv's own results, where a
// library call per stretch of text, with its own UTF-8 decoding, was most of the time of a
// large write-out. Characters the tables do not hold are still asked of iconv one by one.
namespace vb::platform::cp932::tables {

// The UTF-8 form of one character, one to three bytes; size 0 means no character. Four
// bytes in all, so a conversion can copy an entry whole and move on by its size.
struct Utf8Char {
    char bytes[3] = {};
    std::uint8_t size = 0;
};

struct DecodeTable {
    std::array<bool, 256> lead{};       // iconv wants a second byte after this one
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

// The tables, made on first use. nullptr when iconv answered something they cannot hold
// (a character of more bytes than they keep); the conversions then ask iconv throughout.
const DecodeTable* Decoding();
const EncodeTable* Encoding();
const ReencodeTable* Reencoding();  // nullptr without both tables above

// cp932 bytes to UTF-8 as iconv converts them; a byte that is no character (alone or as a
// lead before its trail) becomes its stand-in.
std::string Decode(const DecodeTable& table, std::string_view bytes);

// UTF-8 text to cp932 as iconv converts it, appended to out. At each character iconv
// refuses, refused(pos) appends what stands for it and returns how many bytes it took.
void Encode(const EncodeTable& table, std::string_view text, std::string& out,
            const std::function<std::size_t(std::size_t pos)>& refused);

// cp932 bytes to cp932 bytes as Encode(Decode(bytes)) gives them, appended to out; false,
// out unchanged, at the first byte that is not part of a character the table holds.
bool AppendReencoded(const ReencodeTable& table, std::string_view bytes, std::string& out);

// What iconv does with the UTF-8 character at text[pos] when converting to cp932: appends
// its bytes and returns its length, or returns 0 when iconv refuses it there.
std::size_t EncodeOneThroughIconv(std::string_view text, std::size_t pos, std::string& out);

}  // namespace vb::platform::cp932::tables
