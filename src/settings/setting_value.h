#pragma once

#include <string>
#include <string_view>

// How a value of the settings file is stored: the UTF-8 text the program works with to the
// cp932 bytes of the file, and back.
//
// - The format has one value per line, so each CR and each LF of a value is stored as a
//   space; a value can never add lines (or keys) to the file.
// - A character that cp932 cannot hold exactly is stored as "&#N;", N its decimal code point.
//   A load turns "&#N;" back into the character only when N is such a character, so HTML
//   references a user writes by hand for ordinary characters stay as written.
// - For the escape to be unambiguous its own literal form is escaped too: every "&" that is
//   followed by "#" is stored as "&#38;", so a typed "&#9829;" is stored as "&#38;#9829;".
//   A load turns "&#38;" back into "&" only when "#" follows it.
// - A byte that is not cp932 (carried as its stand-in character) is stored as that byte again,
//   unless it would pair with the first stored byte of the next character into another
//   double-byte character; then it is stored as "&#N;" like a character cp932 lacks.
// Values without line breaks, without "&#" and with only cp932 characters are stored as their
// plain cp932 bytes.
namespace vb::settings {

std::string EncodeSettingValue(std::string_view utf8);
std::string DecodeSettingValue(std::string_view cp932Bytes);

// True when cp932 holds the character exactly: it encodes, and decodes to itself again.
bool Cp932HoldsExactly(char32_t codePoint);

}  // namespace vb::settings
