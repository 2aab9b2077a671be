#include "platform/file_lock.h"

#include <utility>

namespace vb::platform {

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        Release();
        file_ = std::move(other.file_);
    }
    return *this;
}

}  // namespace vb::platform
