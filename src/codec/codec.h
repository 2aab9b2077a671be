#pragma once

#include <string>
#include <string_view>

// Conversion between the cp932 (Windows Shift_JIS) bytes of every file the program reads or
// writes and the UTF-8 text it works with inside.
//
// Bytes that are not valid cp932 are carried through: each such byte decodes to the stand-in
// character U+F700 + byte (U+F780..U+F7FF; only bytes >= 0x80 can be invalid) and encodes back
// to the very same byte. cp932 maps its own user-defined area to U+E000..U+E757, so no valid
// cp932 text ever decodes to a stand-in.
namespace vb::codec::cp932 {

// cp932 bytes -> UTF-8. Never fails.
std::string Decode(std::string_view bytes);

// UTF-8 -> cp932 bytes. Stand-ins become their raw bytes again. Invalid UTF-8 sequences
// are passed through byte for byte. A character cp932 cannot hold is written as "&#N;"
// with N its decimal code point.
std::string Encode(std::string_view utf8);

// True when the code point has a cp932 form (stand-ins count as encodable).
bool CanEncode(char32_t codePoint);

// The stand-in for an undecodable byte, and the reverse test.
char32_t StandInFor(unsigned char byte);
bool IsStandIn(char32_t codePoint);

// Appends the bytes as Encode(Decode(bytes)) gives them and returns true when every byte
// belongs to a whole cp932 character: the same characters, each in the form Encode writes
// (a character with two codes takes the one Encode chooses). Text that is only passed
// through can so stay in cp932. Returns false, leaving out as it was, when a byte is no
// character.
bool AppendReencoded(std::string& out, std::string_view bytes);

// In bytes made of whole cp932 characters: the length of the character this byte starts.
std::size_t CharacterLength(unsigned char first);

// True when the text is well-formed UTF-8 without stand-ins. Encode then converts it one
// character at a time: parts of it cut between characters encode to bytes that join to
// Encode of the whole.
bool EncodesCharacterByCharacter(std::string_view utf8);

}  // namespace vb::codec::cp932
