#include "platform/file_handle.h"

#include <utility>

namespace vb::platform {

FileHandle::~FileHandle() { Close(); }

FileHandle::FileHandle(FileHandle&& other) noexcept
    : native_(std::exchange(other.native_, kInvalid)) {}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        Close();
        native_ = std::exchange(other.native_, kInvalid);
    }
    return *this;
}

int FileHandle::ReadToEnd(std::string& bytes) {
    const std::size_t start = bytes.size();
    // Room for one byte more than the file holds, so that a file read whole costs one read.
    // The read ends at a read that gives nothing, or once the file's known size is in and
    // the room is not full: a call that gives less than asked is no end by itself, as the
    // system cuts a call short of a large request (about 2 GiB on Linux, and ReadSome asks
    // at most 1 GiB on Windows).
    const std::size_t known = KnownSize();
    bytes.resize(start + known + 1);
    std::size_t got = start;
    for (;;) {
        if (got == bytes.size()) bytes.resize(bytes.size() + 65536);  // the file grew
        std::size_t n = 0;
        if (const int err = ReadSome(bytes.data() + got, bytes.size() - got, n)) {
            bytes.resize(start);
            return err;
        }
        got += n;
        if (n == 0 || (got - start >= known && got < bytes.size())) break;
    }
    bytes.resize(got);
    return 0;
}

int FileHandle::WriteAll(std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        std::size_t n = 0;
        if (const int err = WriteSome(bytes.data() + done, bytes.size() - done, n)) return err;
        done += n;
    }
    return 0;
}

}  // namespace vb::platform
