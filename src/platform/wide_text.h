#pragma once

#include <string>
#include <string_view>

// UTF-8 (our strings) to UTF-16 (the Win32 "W" functions) and back, wherever a string meets
// a Win32 call: the platform's Windows files and the Win32 view. Malformed UTF-8 becomes
// U+FFFD.
namespace vb::platform {

std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);

}  // namespace vb::platform
