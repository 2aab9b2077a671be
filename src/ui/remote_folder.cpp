#include "ui/remote_folder.h"

namespace vb::ui {

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
