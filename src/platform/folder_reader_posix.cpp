#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/folder_reader.h"
#include "platform/program_folder.h"

namespace vb::platform {

FolderReader::FolderReader(std::string path) : path_(std::move(path)) {
    folder_ = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

FolderReader::~FolderReader() {
    if (folder_ >= 0) ::close(static_cast<int>(folder_));
}

FolderReader::Read FolderReader::ReadFile(const std::string& name) {
    Read result;
    // Non-blocking, so that a pipe put in a file's place cannot hang the read.
    constexpr int kFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC;
    const int fd = folder_ >= 0 ? ::openat(static_cast<int>(folder_), name.c_str(), kFlags)
                                : ::open(JoinPath(path_, name).c_str(), kFlags);
    if (fd < 0) {
        result = {errno, true, {}};
        return result;
    }
    // The one status call: only a plain file is read, and its size lets one read take it
    // whole (one byte more than the size: a read that stops short has reached the end).
    struct stat st {};
    const int statError = ::fstat(fd, &st) != 0  ? errno
                          : S_ISDIR(st.st_mode)  ? EISDIR
                          : !S_ISREG(st.st_mode) ? EINVAL
                                                 : 0;
    if (statError != 0) {
        ::close(fd);
        result = {statError, true, {}};
        return result;
    }
    std::size_t size = static_cast<std::size_t>(st.st_size) + 1;
    std::size_t got = 0;
    for (;;) {
        char* into = Room(size);
        const ssize_t n = ::read(fd, into + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            result.error = errno;
            break;
        }
        got += static_cast<std::size_t>(n);
        if (n == 0 || got < size) break;
        size += 65536;  // the file grew since its size was taken
    }
    ::close(fd);
    if (result.error == 0) result.bytes = std::string_view(buffer_.get(), got);
    return result;
}

}  // namespace vb::platform
