#pragma once

#include <string>
#include <vector>

// The server's remote folder: the words of a server entry and the ftp address made of them.
namespace vb::ui {

// The words of a server entry cut at every single blank; two blanks make an empty word.
// Words 1 to 3 (server, user, password) are always present, empty when the entry has fewer.
struct ServerWords {
    std::string server;
    std::string user;
    std::string password;
};
ServerWords SplitServerEntry(const std::string& entry);

// Every byte but ASCII letters, digits and "-._~" as %XX (upper-case hex), so that no
// character of a user name or password can end the address's user part early.
std::string PercentEncode(const std::string& text);

// "ftp://" user ":" password "@" server, user and password percent-encoded.
std::string RemoteFolderAddress(const ServerWords& words);

// The four log lines written before the folder opens, each followed by CR LF; the words
// as stored, the password in clear.
std::string RemoteFolderLogLines(const ServerWords& words);

}  // namespace vb::ui
