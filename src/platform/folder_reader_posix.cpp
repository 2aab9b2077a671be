#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

namespace {

// 0 for a plain file (its size in size), else why it is not one.
int PlainFileSize(int fd, std::size_t& size) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return errno;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (!S_ISREG(st.st_mode)) return EINVAL;
    size = static_cast<std::size_t>(st.st_size);
    return 0;
}

}  // namespace

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
    // No status call for a plain file: the buffer keeps the room of the largest file so far,
    // and a read of a plain file that gives less than it asked has reached the end. Only a
    // read that fails, gives nothing or fills the room asks what was opened: a folder, pipe
    // or device put in a file's place is refused there as unopenable, and a file larger than
    // the room is read on to its size.
    std::size_t size = std::max<std::size_t>(room_, kFirstRoom);
    std::size_t got = 0;
    bool asked = false;
    for (;;) {
        char* into = Room(size);
        const std::size_t want = std::min(size - got, kMostPerRead);
        const ssize_t n = ::read(fd, into + got, want);
        if (n < 0 && errno == EINTR) continue;
        const int readError = n < 0 ? errno : 0;
        if (n > 0) got += static_cast<std::size_t>(n);
        if (n > 0 && static_cast<std::size_t>(n) < want) break;  // the end came first
        if (n > 0 && got < size) continue;                       // a capped request: read on
        if (!asked) {
            asked = true;
            std::size_t fileSize = 0;
            if (const int typeError = PlainFileSize(fd, fileSize)) {
                result = {typeError, true, {}};
                break;
            }
            size = std::max(size, fileSize + 1);
        }
        if (readError != 0) {
            result.error = readError;
            break;
        }
        if (n == 0) break;
        if (got == size) size += std::max<std::size_t>(size / 2, kFirstRoom);  // still growing
    }
    ::close(fd);
    if (result.error == 0) result.bytes = std::string_view(buffer_.get(), got);
    return result;
}

}  // namespace vb::platform
