#pragma once

#include <string>
#include <string_view>

// The program's strings are UTF-8; Win32 takes UTF-16. These convert at the window edge.
namespace vb::win32view {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace vb::win32view
