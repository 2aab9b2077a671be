#pragma once

#include <string>

// The one rule for "may this file be written?", asked by the file service before deleting
// and by the settings layer before saving.
namespace vb::platform {

// True when this user may really write what the path names (links followed). On Linux the
// system decides with this process's effective ids; for root, whom the system lets write
// anything, a file without any write permission bit counts as read-only. On Windows a file
// with the read-only attribute, or one this user has no write access to, is read-only.
// False when nothing is there.
bool MayWrite(const std::string& path);

}  // namespace vb::platform
