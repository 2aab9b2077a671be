#pragma once

#include <string>

// The temporary file a save writes beside the file it replaces: its name, and the removal of
// those that saves of processes now gone left behind (a save ended half-way by a crash or a
// kill). The names are leftover names (platform/leftover_name.h): the marker "vbsave-", the
// machine and the saving process, so that neither a user's file nor the temporary file of a
// save still running is ever taken for a leftover.
namespace vb::platform {

// The path of a new temporary file beside the target, a name no other save uses: on POSIX
// "." + the target's name + ".vbsave-…" (hidden), on Windows the target's name +
// ".vbsave-….tmp".
std::string TempNameFor(const std::string& target);

// Removes the plain files beside the target whose names have exactly TempNameFor's form for
// this target, were made on this machine and name a process that no longer runs. Anything
// else stays; a file that cannot be removed stays too.
void RemoveLeftoverTemps(const std::string& target);

}  // namespace vb::platform
