#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <fstream>

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

// The machine's lasting identity (its machine id, else its host name) and the process-id
// space this process lives in: a process id means something only inside its own space, so a
// container sharing the folder counts as another machine.
std::string MachineIdentity() {
    std::string id;
    std::ifstream("/etc/machine-id") >> id;
    if (id.empty()) {
        char host[256] = {};
        ::gethostname(host, sizeof host - 1);
        id = host;
    }
    struct stat space {};
    if (::stat("/proc/self/ns/pid", &space) == 0)
        id += ":" + std::to_string(space.st_dev) + ":" + std::to_string(space.st_ino);
    return id;
}

}  // namespace vb::platform
