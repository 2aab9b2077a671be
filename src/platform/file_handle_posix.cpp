#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
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

FileHandle FileHandle::OpenForAppending(const std::string& path, bool& empty, int& error) {
    FileHandle file = Open(path, O_WRONLY | O_APPEND | O_CREAT | O_EXCL, error);
    empty = file.IsOpen();
    if (empty || error != EEXIST) return file;
    // Non-blocking to open: a pipe that nobody reads is refused (ENXIO) instead of holding the
    // run forever. The writes then block as usual, so that none is cut short.
    file = Open(path, O_WRONLY | O_APPEND | O_NONBLOCK, error);
    if (!file.IsOpen()) return file;
    const int flags = ::fcntl(Fd(file.native_), F_GETFL);
    if (flags < 0 || ::fcntl(Fd(file.native_), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        error = errno;
        return {};
    }
    empty = file.KnownSize() == 0;
    return file;
}

int FileHandle::ReadSome(char* into, std::size_t room, std::size_t& done) {
    for (;;) {
        const ssize_t n = ::read(Fd(native_), into, room);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        done = static_cast<std::size_t>(n);
        return 0;
    }
}

int FileHandle::WriteSome(const char* from, std::size_t size, std::size_t& done) {
    for (;;) {
        const ssize_t n = ::write(Fd(native_), from, size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        done = static_cast<std::size_t>(n);
        return 0;
    }
}

int FileHandle::WriteAll(std::span<const std::string_view> pieces) {
    // Up to this many pieces a system call; a page of n sources is at most 2n + 1 pieces.
    constexpr std::size_t kMostPieces = 64;
    std::size_t first = 0;   // the piece the next write starts in
    std::size_t offset = 0;  // and the byte in it
    while (first < pieces.size()) {
        iovec parts[kMostPieces];
        std::size_t count = 0;
        for (std::size_t i = first; i < pieces.size() && count < kMostPieces; ++i, ++count) {
            const std::size_t skip = i == first ? offset : 0;
            parts[count].iov_base = const_cast<char*>(pieces[i].data() + skip);
            parts[count].iov_len = pieces[i].size() - skip;
        }
        const ssize_t n = ::writev(Fd(native_), parts, static_cast<int>(count));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        // Past what was written, which may end inside a piece.
        for (auto left = static_cast<std::size_t>(n); first < pieces.size();) {
            const std::size_t rest = pieces[first].size() - offset;
            if (left < rest) {
                offset += left;
                break;
            }
            left -= rest;
            ++first;
            offset = 0;
        }
    }
    return 0;
}

std::size_t FileHandle::KnownSize() const {
    struct stat st {};
    return ::fstat(Fd(native_), &st) == 0 ? static_cast<std::size_t>(st.st_size) : 0;
}

int FileHandle::AppendWhole(std::string_view bytes) {
    const std::size_t before = KnownSize();
    const int error = WriteAll(bytes);
    if (error == 0) return 0;
    // Only a cut that can be this write's own: another process appending meanwhile keeps its.
    const std::size_t after = KnownSize();
    if (after > before && after - before < bytes.size()) {
        [[maybe_unused]] const int cut = ::ftruncate(Fd(native_), static_cast<off_t>(before));
    }
    return error;
}

int FileHandle::ReadLastByte(char& byte) {
    byte = 0;
    const std::size_t size = KnownSize();
    if (size == 0) return 0;
    const ssize_t n = ::pread(Fd(native_), &byte, 1, static_cast<off_t>(size - 1));
    return n < 0 ? errno : 0;
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
