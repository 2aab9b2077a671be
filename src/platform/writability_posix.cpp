#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/writability.h"

namespace vb::platform {

bool MayWrite(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    if (::geteuid() == 0) return (st.st_mode & 0222) != 0;
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

}  // namespace vb::platform
