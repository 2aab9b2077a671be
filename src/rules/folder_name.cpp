#include "rules/folder_name.h"

#include "codec/utf8.h"

namespace vb::rules {

namespace {

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

bool IsRefused(char32_t c) {
    switch (c) {
        case '/':
        case '\\':
        case ':':
        case '*':
        case '?':
        case '"':
        case '<':
        case '>':
        case '|':
            return true;
        default:
            return IsControl(c);
    }
}

// Windows drops trailing dots and blanks from a name, so "srv." would name the folder "srv".
bool EndsInDotOrBlank(std::string_view name) { return name.back() == '.' || name.back() == ' '; }

// Device names that Windows reserves in every folder, with or without an extension and
// whatever their letter case: "CON", "nul.txt", "COM1", "LPT¹".
bool IsReservedDeviceName(std::string_view name) {
    std::string stem = codec::utf8::AsciiLower(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (const char* device : {"con", "prn", "aux", "nul", "conin$", "conout$"})
        if (stem == device) return true;
    if (stem.rfind("com", 0) != 0 && stem.rfind("lpt", 0) != 0) return false;
    const std::string_view digit = std::string_view(stem).substr(3);
    return (digit.size() == 1 && digit[0] >= '1' && digit[0] <= '9') || digit == "\u00b9" ||
           digit == "\u00b2" || digit == "\u00b3";
}

}  // namespace

bool IsPlainFolderName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    if (EndsInDotOrBlank(name) || IsReservedDeviceName(name)) return false;
    for (std::size_t pos = 0; pos < name.size();) {
        if (IsRefused(codec::utf8::DecodeAt(name, pos))) return false;
    }
    return true;
}

}  // namespace vb::rules
