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

int RewriteInPlace(const std::string& target, const std::string& bytes) {
    int err = 0;
    FileHandle file = FileHandle::OpenForRewriting(target, err);
    if (!file.IsOpen()) return err;
    err = file.WriteAll(bytes);
    if (err == 0) err = file.TruncateHere();
    if (err == 0) err = file.Flush();
    if (const int closed = file.Close(); err == 0) err = closed;
    return err;
}

}  // namespace vb::platform
