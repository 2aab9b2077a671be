#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The temporary file a save writes beside the file it replaces: its name, and the removal of
// those that saves of processes now gone left behind (a save ended half-way by a crash or a
// kill). The name carries a marker no user would type, the machine that made it and the
// saving process's id, so that neither a user's file nor the temporary file of a save still
// running (here, or on another machine sharing the folder) is ever taken for a leftover.
namespace vb::platform {

// The name of a new temporary file beside the target: on POSIX a template for mkostemp
// (ending in "XXXXXX"), on Windows a name that no other save uses.
std::string TempNameFor(const std::string& target);

// Removes the plain files beside the target whose names have exactly TempNameFor's form for
// this target, were made on this machine and name a process that no longer runs. Anything
// else stays; a file that cannot be removed stays too.
void RemoveLeftoverTemps(const std::string& target);

// This machine as the temporary names write it: 16 hexadecimal digits made from the
// machine's identity (on Linux also the process-id space, so that a container sharing the
// folder counts as another machine).
const std::string& ThisMachineTag();

namespace save_temp {

// Sets the save's temporary files apart from anything else beside the file.
constexpr std::string_view kMarker = "vbsave-";

// The rest of a name that starts with prefix, the marker, this machine's tag and "-";
// nothing for any other name.
std::optional<std::string_view> AfterOwnMarker(std::string_view name, std::string_view prefix);

// Takes a decimal number from the front of rest up to the delimiter (or to the end when the
// delimiter is '\0'), which it takes too: one or more digits without a leading zero (0
// itself excepted), at most most. Nothing when rest does not start so.
std::optional<std::uint64_t> TakeNumber(std::string_view& rest, char delimiter, std::uint64_t most);

// What ThisMachineTag is made from: on Linux the machine's id (else its host name) and the
// process-id space, on Windows the computer's name.
std::string MachineIdentity();

}  // namespace save_temp

}  // namespace vb::platform
