#include "platform/save/whole_file.h"

#include "platform/file_handle.h"
#include "platform/save/save_steps.h"
#include "platform/system_error.h"

namespace vb::platform {

WholeFileRead ReadWholeFile(const std::string& path) {
    WholeFileRead result;
    FileHandle file;
    result.error = Step("open to read", [&] {
        int err = 0;
        file = FileHandle::OpenForReading(path, err);
        return err;
    });
    result.exists = file.IsOpen() || !IsNotFoundError(result.error);
    if (!result.exists) result.error = 0;
    if (file.IsOpen()) result.error = Step("read", [&] { return file.ReadToEnd(result.bytes); });
    return result;
}

namespace {

// Overwrites the file where it is: written, cut to its new length, flushed.
int WriteInPlace(const std::string& target, const std::string& bytes) {
    FileHandle file;
    int err = Step("open to rewrite", [&] {
        int opened = 0;
        file = FileHandle::OpenForRewriting(target, opened);
        return opened;
    });
    if (err != 0) return err;
    err = Step("write", [&] { return file.WriteAll(bytes); });
    if (err == 0) err = Step("truncate", [&] { return file.TruncateHere(); });
    if (err == 0) err = Step("flush", [&] { return file.Flush(); });
    if (const int closed = Step("close", [&] { return file.Close(); }); err == 0) err = closed;
    return err;
}

}  // namespace

int RewriteInPlace(const std::string& target, const std::string& bytes) {
    // What the file held, to be put back when the rewrite fails half-way (a full disk): a
    // settings file half old and half new would be worse than the old one.
    const WholeFileRead old = ReadWholeFile(target);
    if (old.error != 0) return old.error;
    const int err = WriteInPlace(target, bytes);
    if (err != 0 && old.exists) WriteInPlace(target, old.bytes);
    return err;
}

}  // namespace vb::platform
