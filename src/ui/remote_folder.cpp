#include "ui/remote_folder.h"

#include <algorithm>

namespace vb::ui {

ServerWords SplitServerEntry(const std::string& entry) {
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

std::string PercentEncode(const std::string& text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3);
    for (unsigned char c : text) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
    }
    return out;
}

std::string RemoteFolderAddress(const ServerWords& words) {
    return "ftp://" + PercentEncode(words.user) + ":" + PercentEncode(words.password) + "@" +
           words.server;
}

std::string RemoteFolderLogLines(const ServerWords& words) {
    return "----------------------------\r\n"
           "server : " +
           words.server +
           "\r\n"
           "user : " +
           words.user +
           "\r\n"
           "pass : " +
           words.password + "\r\n";
}

}  // namespace vb::ui
