#pragma once

#include <string>
#include <string_view>

// UTF-8 (our strings) to UTF-16 (the Win32 "W" functions) and back, wherever a string meets
// a Win32 call: the platform's Windows files and the Win32 view. Malformed UTF-8 becomes
// U+FFFD.
namespace vb::platform {

std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);

// A path for the Win32 file functions, whatever its length and the system's long-path
// policy: a path that is (or becomes, made absolute) long enough to meet the 260-character
// limit (248 for a folder's creation) goes in its long form, "\\?\C:\..." or
// "\\?\UNC\server\share\...", from its full form ("." and ".." resolved, backslashes);
// a shorter one is passed as it is.
std::wstring WidePathFromUtf8(std::string_view utf8);
// The long form of a full path: the prefix added to a long drive or UNC path, any other
// (short, already prefixed, or neither drive nor UNC) left alone.
std::wstring LongPathForm(std::wstring_view fullPath);

}  // namespace vb::platform
