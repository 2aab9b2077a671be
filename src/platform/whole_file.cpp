#include "platform/whole_file.h"

#include "platform/file_handle.h"
#include "platform/system_error.h"

namespace vb::platform {

WholeFileRead ReadWholeFile(const std::string& path) {
    WholeFileRead result;
    FileHandle file = FileHandle::OpenForReading(path, result.error);
    result.exists = file.IsOpen() || !IsNotFoundError(result.error);
    if (!result.exists) result.error = 0;
    if (file.IsOpen()) result.error = file.ReadToEnd(result.bytes);
    return result;
}

}  // namespace vb::platform
