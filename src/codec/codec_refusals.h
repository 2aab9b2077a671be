#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// What Encode writes where the conversion refuses a character: a stand-in's own byte, a
// stray byte as it came, "&#N;" for a character cp932 cannot hold; and, around the carried
// lead bytes, characters in the form that keeps the bytes reading back as the same text.
namespace vb::codec::cp932 {

// At a character the conversion refuses at text[pos]: appends what stands for it and
// returns how many bytes of the text it took.
using RefusedHandler = std::function<std::size_t(std::size_t pos)>;

// Appends the cp932 form of the text to out, calling refused at each character it cannot
// convert.
using Conversion = void (*)(std::string_view text, std::string& out, const RefusedHandler& refused);

// UTF-8 to cp932 through the conversion, with refused characters treated as above. Encode
// is EncodeThrough the table; the tests put iconv's own conversion in the table's place.
std::string EncodeThrough(Conversion convert, std::string_view utf8Text);

}  // namespace vb::codec::cp932
