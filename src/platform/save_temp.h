#pragma once

#include <string>

// The temporary file a save writes beside the file it replaces: its name, and the removal of
// those that saves of processes now gone left behind (a save ended half-way by a crash or a
// kill). The name carries the saving process's id, so that the temporary file of a save
// still running in another process is never taken for a leftover.
namespace vb::platform {

// The name of a new temporary file beside the target: on POSIX a template for mkostemp
// (ending in "XXXXXX"), on Windows a name that no other save uses.
std::string TempNameFor(const std::string& target);

// Removes the plain files beside the target whose names have exactly TempNameFor's form for
// this target and name a process that no longer runs. Anything else stays; a file that
// cannot be removed stays too.
void RemoveLeftoverTemps(const std::string& target);

}  // namespace vb::platform
