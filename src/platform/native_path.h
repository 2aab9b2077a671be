#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Paths inside the program are UTF-8 strings. These are the only places where one becomes a
// std::filesystem::path and back: a path built from a plain std::string would be read in the
// system's ANSI code page on Windows and lose every character outside it.
namespace vb::platform {

std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

// The absolute form of a path made from its text alone: joined with the current folder,
// "." and ".." steps resolved, links not followed, the platform's separators. The path need
// not exist. An empty path stays empty.
std::string LexicalFullPath(const std::string& path);

// True when both paths name one existing file (the same device and file number).
bool IsSameFile(const std::string& a, const std::string& b);

// True when two names of one folder level name the same entry on this platform: exactly
// equal on Linux, equal without regard to letter case on Windows.
bool SameNameOnThisSystem(std::string_view a, std::string_view b);

// One spelling for all the names SameNameOnThisSystem takes as this one: the name itself on
// Linux; on Windows upper-cased, letters of every script, as that comparison does first.
std::string NameAsThisSystemCompares(std::string_view name);

}  // namespace vb::platform
