#pragma once

#include <optional>
#include <string>
#include <string_view>

// The program's own names in a folder it shares with its user: "local", which holds every
// server's output folder. An own name is the name of what it belongs to (a server's folder),
// then kOwnNameMark, then what it is ("lock", "deleting-…").
//
// No server's folder can take such a name. A server's folder is named by the first word of
// its entry, and the words end at a blank (" "), so no server name holds one; everything
// else a folder name may hold, a server name may hold too (rules::IsPlainFolderName). Both
// systems allow a blank inside a file name (Windows drops blanks only at a name's end), and
// the mark's other characters are letters, '~' and '-'.
namespace vb::platform {

inline constexpr std::string_view kOwnNameMark = " ~VornackBuilder-";

// base + kOwnNameMark + kind, within a file name's 255 bytes: a base too long for that is cut
// at a character's start and followed by "~" and a hash of the whole base (its letters'
// case aside where the system ignores it, as Windows does), so two bases still give two
// names, and two that name one folder give one.
std::string OwnName(std::string_view base, std::string_view kind);

// The kind of a name that OwnName gives for this base (compared as this system compares
// names), or nothing for any other name.
std::optional<std::string> OwnNameKind(std::string_view name, std::string_view base);

}  // namespace vb::platform
