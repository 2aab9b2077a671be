#pragma once

#include <string>
#include <string_view>

// The name a folder takes while it is deleted: moved aside first under an own name
// (OwnName) beside it, its own name is free at once for the folder that replaces it, and the
// old content goes while other work goes on. A deletion ended before it was done (the program
// killed, the machine down) leaves the folder aside; a later deletion of the same folder
// removes it, but only when it is surely such a leftover.
namespace vb::platform {

// A new aside name for the folder named folderName: its own name of the kind
// "deleting-<this machine's tag>-<process id>-<serial>" (NewLeftoverName), so that two
// deletions never pick one name.
std::string AsideName(const std::string& folderName);

// True only for a name that AsideName gave the folder named folderName on this machine, in
// a process that has surely ended. A name of any other form, another folder's, another
// machine's, or one of a process that runs or that the system cannot answer for, stays.
bool IsLeftOverAside(const std::string& folderName, std::string_view name);

}  // namespace vb::platform
