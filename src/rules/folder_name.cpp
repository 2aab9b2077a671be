#include "rules/folder_name.h"

#include "platform/utf8.h"

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

}  // namespace

bool IsPlainFolderName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (std::size_t pos = 0; pos < name.size();) {
        if (IsRefused(platform::utf8::DecodeAt(name, pos))) return false;
    }
    return true;
}

}  // namespace vb::rules
