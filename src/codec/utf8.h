#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Small helpers for UTF-8 text, where the program counts characters rather than bytes.
namespace vb::codec::utf8 {

// Length in bytes of the UTF-8 sequence starting with this lead byte (1 for stray bytes).
std::size_t SequenceLength(unsigned char lead);

// Decodes one code point at text[pos]; advances pos. A malformed sequence yields its first
// byte as a code point and advances by one.
char32_t DecodeAt(std::string_view text, std::size_t& pos);

void Append(std::string& out, char32_t codePoint);

// Number of characters (code points) in the text.
std::size_t Length(std::string_view text);

// The characters [first, first + count) of the text, counted in code points (0-based).
// Out-of-range parts are simply absent.
std::string_view Substr(std::string_view text, std::size_t first, std::size_t count);

// Lower-cases ASCII letters only; other characters are unchanged.
std::string AsciiLower(std::string_view text);

}  // namespace vb::codec::utf8
