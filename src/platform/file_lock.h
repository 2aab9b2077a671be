#pragma once

#include <string>

#include "platform/file_handle.h"

// An exclusive lock on a file, taken with the system's own file locks (flock on POSIX,
// LockFileEx on Windows): held while the object lives, and let go by the system when the
// process ends in any way, a kill included, so a lock never outlives its holder.
namespace vb::platform {

class FileLock {
  public:
    FileLock() = default;
    ~FileLock() { Release(); }
    FileLock(FileLock&& other) noexcept = default;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Opens the file (made empty when missing; its bytes are never read nor written, and it
    // stays when the lock goes) and takes its lock without waiting. Not Held() with error 0
    // when another holder has it: another process, or another FileLock of this one. error is
    // the system's number when the file cannot be opened or locked (a folder, a link).
    static FileLock TryTake(const std::string& path, int& error);

    bool Held() const { return file_.IsOpen(); }

  private:
    void Release();
    FileHandle file_;
};

}  // namespace vb::platform
