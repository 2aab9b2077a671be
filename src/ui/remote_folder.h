#pragma once

#include <string>

#include "rules/server_entry.h"

// The server's remote folder: the ftp address made of a server entry's words
// (rules::SplitServerEntry), and the log lines that show them.
namespace vb::ui {

using rules::ServerWords;

// Every byte but ASCII letters, digits and "-._~" as %XX (upper-case hex), so that no
// character of a user name or password can end the address's user part early.
std::string PercentEncode(const std::string& text);

// "ftp://" user ":" password "@" server, user and password percent-encoded.
std::string RemoteFolderAddress(const ServerWords& words);

// The four log lines written before the folder opens, each followed by CR LF; the words
// as stored, the password in clear.
std::string RemoteFolderLogLines(const ServerWords& words);

}  // namespace vb::ui
