#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/file_lock.h"

namespace vb::platform {

FileLock FileLock::TryTake(const std::string& path, int& error) {
    // A link at the lock's name is refused rather than followed, and a pipe there cannot
    // block the open. flock, unlike fcntl's locks, also keeps two opens in one process apart.
    const int fd =
        ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
    if (fd < 0) {
        error = errno;
        return {};
    }
    FileLock lock;
    lock.file_ = FileHandle::Adopt(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error = errno;
        return {};
    }
    if (!S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return {};
    }
    int result = 0;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    error = result == 0 || errno == EWOULDBLOCK ? 0 : errno;
    return result == 0 ? std::move(lock) : FileLock();
}

// Closing the only descriptor of the open file lets the lock go.
void FileLock::Release() { file_ = FileHandle(); }

}  // namespace vb::platform
