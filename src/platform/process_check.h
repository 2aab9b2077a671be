#pragma once

#include <cstdint>
#include <string>

// Whether a process of this machine has ended, for the clean-up of what an ended process
// left behind (a save's temporary file, a folder a deletion had moved aside).
namespace vb::platform {

// True only when the system says that no process of this id runs. Whatever else it says,
// and a failure to ask, counts as running: a leftover is removed only when its process is
// surely gone. An id of 0, or one the system's ids cannot be, is never gone.
bool ProcessIsGone(std::uint64_t id);

// The id of this process, as ProcessIsGone asks about it.
std::uint64_t ThisProcessId();

// What tells this machine from others that may share a folder (ThisMachineTag is made from
// it): on Linux the machine's id (else its host name) and the process-id space, on Windows the
// computer's name.
std::string MachineIdentity();

}  // namespace vb::platform
