#include "platform/folder_reader.h"

#include <algorithm>
#include <cstring>

namespace vb::platform {

char* FolderReader::Room(std::size_t size) {
    if (size > room_) {
        // Whole-file reads of a folder's files: sized for the largest so far, with room to
        // spare so that a file growing a little does not reallocate at once.
        const std::size_t room = std::max(size, room_ + room_ / 2);
        auto bigger = std::make_unique<char[]>(room);
        if (room_ > 0) std::memcpy(bigger.get(), buffer_.get(), room_);
        buffer_ = std::move(bigger);
        room_ = room;
    }
    return buffer_.get();
}

}  // namespace vb::platform
