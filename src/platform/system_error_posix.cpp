#include <cerrno>
#include <cstring>

#include "platform/system_error.h"

namespace vb::platform {

int LastOsError() { return errno; }

std::string DescribeOsError(int code) { return std::strerror(code); }

bool IsNotFoundError(int code) { return code == ENOENT || code == ENOTDIR; }

namespace os_error {
const int kNotFound = ENOENT;
const int kAccessDenied = EACCES;
const int kAlreadyExists = EEXIST;
const int kNotAFolder = ENOTDIR;
const int kIsAFolder = EISDIR;
const int kNotAPlainFile = EINVAL;
const int kInterrupted = EINTR;
const int kOutOfMemory = ENOMEM;
const int kBusy = EBUSY;
}  // namespace os_error

}  // namespace vb::platform
