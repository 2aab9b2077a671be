#pragma once

#include <string>
#include <string_view>

// UTF-8 (our strings) to UTF-16 (the Win32 "W" functions) and back. Used only by the
// platform's Windows files; malformed UTF-8 becomes U+FFFD.
namespace vb::platform {

std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);

}  // namespace vb::platform
