#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A server entry of the settings file (ServerN=host user password) and the names made of it:
// the one place where an entry is taken apart.
namespace vb::rules {

// The words of a server entry cut at every single space; two spaces make an empty word.
// Words 1 to 3 (server, user, password) are always present, empty when the entry has fewer.
struct ServerWords {
    std::string server;
    std::string user;
    std::string password;
};
ServerWords SplitServerEntry(std::string_view entry);

// Word 1: the name the server list shows and the output folder takes.
std::string ServerListName(std::string_view entry);

// The part of a list name before its first blank of any kind (a space, a tab, an ideographic
// space, any other Unicode space or line break): what the command line shows of a server,
// so that an entry spaced otherwise than the list expects never shows its password.
std::string_view ServerShownName(std::string_view listName);

// The item of the list that the name asks for: the first item that is the name, else the
// one item whose shown name is the name. Empty when there is none, or more than one.
std::optional<std::size_t> FindServer(const std::vector<std::string>& listNames,
                                      std::string_view name);

}  // namespace vb::rules
