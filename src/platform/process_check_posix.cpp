#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/process_check.h"

namespace vb::platform {

// kill with no signal asks without touching the process: a process of another user answers
// EPERM and runs all the same, and a zombie runs until it is reaped. Only ESRCH says that
// there is none.
bool ProcessIsGone(std::uint64_t id) {
    if (id == 0 || id > static_cast<std::uint64_t>(INT_MAX)) return false;
    return ::kill(static_cast<pid_t>(id), 0) != 0 && errno == ESRCH;
}

std::uint64_t ThisProcessId() { return static_cast<std::uint64_t>(::getpid()); }

}  // namespace vb::platform
