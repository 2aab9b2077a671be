#pragma once

#include <string>
#include <string_view>

// The conversions with iconv taking the text a stretch at a time, as the codec did before it
// kept tables: the reference the tables are tested against, and the way taken on a system
// whose iconv answers something the tables cannot hold. Same results as Decode and Encode.
namespace vb::platform::cp932 {

std::string DecodeThroughIconv(std::string_view bytes);
std::string EncodeThroughIconv(std::string_view utf8);

}  // namespace vb::platform::cp932
