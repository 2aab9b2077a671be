#include "rules/server_entry.h"

#include <algorithm>

#include "codec/utf8.h"

namespace vb::rules {

namespace {

bool IsBlank(char32_t c) {
    return c == U' ' || (c >= U'\t' && c <= U'\r') || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

}  // namespace

ServerWords SplitServerEntry(std::string_view entry) {
    std::vector<std::string> words(1);
    for (char c : entry) {
        if (c == ' ')
            words.emplace_back();
        else
            words.back() += c;
    }
    words.resize(std::max<std::size_t>(words.size(), 3));
    return {words[0], words[1], words[2]};
}

std::string ServerListName(std::string_view entry) { return SplitServerEntry(entry).server; }

std::string_view ServerShownName(std::string_view listName) {
    for (std::size_t pos = 0; pos < listName.size();) {
        const std::size_t start = pos;
        if (IsBlank(codec::utf8::DecodeAt(listName, pos))) return listName.substr(0, start);
    }
    return listName;
}

std::optional<std::size_t> FindServer(const std::vector<std::string>& listNames,
                                      std::string_view name) {
    const auto exact = std::find(listNames.begin(), listNames.end(), name);
    if (exact != listNames.end()) return static_cast<std::size_t>(exact - listNames.begin());
    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < listNames.size(); ++i) {
        if (ServerShownName(listNames[i]) != name) continue;
        if (found) return std::nullopt;
        found = i;
    }
    return found;
}

}  // namespace vb::rules
