#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/file_handle.h"

namespace vb::platform {

namespace {

int Fd(std::intptr_t native) { return static_cast<int>(native); }

FileHandle Open(const std::string& path, int flags, int& error) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    error = fd < 0 ? errno : 0;
    return fd < 0 ? FileHandle() : FileHandle::Adopt(fd);
}

}  // namespace

FileHandle FileHandle::OpenForReading(const std::string& path, int& error) {
    // Non-blocking, so that a pipe cannot hang the program; only plain files are read.
    FileHandle file = Open(path, O_RDONLY | O_NONBLOCK, error);
    if (!file.IsOpen()) return file;
    struct stat st {};
    if (::fstat(Fd(file.native_), &st) != 0) {
        error = errno;
        return {};
    }
    if (!S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return {};
    }
    return file;
}

FileHandle FileHandle::CreateForWriting(const std::string& path, int& error) {
    return Open(path, O_WRONLY | O_CREAT | O_TRUNC, error);
}

FileHandle FileHandle::OpenForRewriting(const std::string& path, int& error) {
    return Open(path, O_WRONLY, error);
}

int FileHandle::ReadToEnd(std::string& bytes, std::size_t sizeHint) {
    const std::size_t start = bytes.size();
    // Room for one byte more than expected: a read that stops short of the room has reached
    // the end, so a file read whole costs one read, not two.
    bytes.resize(start + sizeHint + 1);
    std::size_t got = start;
    for (;;) {
        if (got == bytes.size()) bytes.resize(bytes.size() + 65536);  // the file grew
        const ssize_t n = ::read(Fd(native_), bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int err = errno;
            bytes.resize(start);
            return err;
        }
        got += static_cast<std::size_t>(n);
        if (n == 0 || got < bytes.size()) break;
    }
    bytes.resize(got);
    return 0;
}

int FileHandle::WriteAll(std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(Fd(native_), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

int FileHandle::TruncateHere() {
    const off_t here = ::lseek(Fd(native_), 0, SEEK_CUR);
    if (here < 0 || ::ftruncate(Fd(native_), here) != 0) return errno;
    return 0;
}

int FileHandle::Flush() { return ::fsync(Fd(native_)) == 0 ? 0 : errno; }

int FileHandle::Close() {
    if (!IsOpen()) return 0;
    const int fd = Fd(std::exchange(native_, kInvalid));
    return ::close(fd) == 0 ? 0 : errno;
}

}  // namespace vb::platform
