#pragma once

#include <string>

namespace vb::builder {

// The output folder of a server: the folder "local" in the program folder, then the
// server name.
std::string OutputFolderPath(const std::string& serverName);

// The lock file that lets one write-out at a time into the server's output folder: beside
// that folder in "local" (never inside it, which the run deletes), the server's own name
// of the kind "lock" (platform::OwnName), which no server's folder can take. The file stays
// when the run ends (empty: only its lock is used).
std::string OutputLockName(const std::string& serverName);
std::string OutputLockPath(const std::string& serverName);

// Older versions named the lock file "<server>.VornackBuilder-lock", which is also a name a
// server may have. Such a file left in the output folder's place (empty, as those versions
// left it) is removed, so that it does not stop the run of the server of that name; anything
// else there stays. The run holds this version's lock: the old file guards only against a run
// of an older version, which does not write into this folder.
void RemoveOldLockInPlaceOf(const std::string& outputFolder);

// True when the path names the folder itself or something inside it. Links and "." or ".."
// steps are resolved first as far as the paths exist, so another spelling of the same
// place counts too.
bool IsSameOrInside(const std::string& path, const std::string& folder);
// True when both paths name the same folder, resolved as IsSameOrInside resolves them.
bool IsSameFolder(const std::string& a, const std::string& b);

}  // namespace vb::builder
