#include <windows.h>

#include "platform/file_lock.h"
#include "platform/wide_text.h"

namespace vb::platform {

namespace {
HANDLE H(const FileHandle& file) { return reinterpret_cast<HANDLE>(file.Native()); }
}  // namespace

FileLock FileLock::TryTake(const std::string& path, int& error) {
    // No FILE_SHARE_DELETE: the lock file cannot be deleted or renamed while it is held,
    // which would let a second holder lock a new file of the same name. A folder at the
    // name fails the open.
    const HANDLE h = CreateFileW(WidePathFromUtf8(path).c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = static_cast<int>(GetLastError());
        return {};
    }
    FileLock lock;
    lock.file_ = FileHandle::Adopt(reinterpret_cast<std::intptr_t>(h));
    // The first byte's range, which may lie past the end of the empty file.
    OVERLAPPED at{};
    if (LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        error = 0;
        return lock;
    }
    const DWORD failure = GetLastError();
    error = failure == ERROR_LOCK_VIOLATION || failure == ERROR_IO_PENDING
                ? 0
                : static_cast<int>(failure);
    return {};
}

// Unlocked before the close: the system unlocks a closed handle's range only when it gets
// round to it, and the next run must find it free at once.
void FileLock::Release() {
    if (!file_.IsOpen()) return;
    OVERLAPPED at{};
    UnlockFileEx(H(file_), 0, 1, 0, &at);
    file_ = FileHandle();
}

}  // namespace vb::platform
