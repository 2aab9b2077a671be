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

}  // namespace vb::platform
