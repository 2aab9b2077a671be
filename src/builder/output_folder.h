#pragma once

#include <string>

namespace vb::builder {

// The output folder of a server: the folder "local" in the program folder, then the
// server name.
std::string OutputFolderPath(const std::string& serverName);

// The lock file that lets one write-out at a time into the server's output folder: beside
// that folder in "local" (never inside it, which the run deletes), named after the server
// with a suffix no one gives a server: "<server>.VornackBuilder-lock". A server name too
// long to take the suffix within a file name's 255 bytes is cut at a character's start and
// followed by "~" and a hash of the whole name (its letters' case aside, as Windows names
// folders). The file stays when the run ends (empty: only its lock is used).
inline constexpr const char* kOutputLockSuffix = ".VornackBuilder-lock";
std::string OutputLockName(const std::string& serverName);
std::string OutputLockPath(const std::string& serverName);

// True when the path names the folder itself or something inside it. Links and "." or ".."
// steps are resolved first as far as the paths exist, so another spelling of the same
// place counts too.
bool IsSameOrInside(const std::string& path, const std::string& folder);

}  // namespace vb::builder
