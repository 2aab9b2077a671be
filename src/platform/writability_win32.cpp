#include <windows.h>

#include "platform/wide_text.h"
#include "platform/writability.h"

namespace vb::platform {

bool MayWrite(const std::string& path) {
    const std::wstring wide = WidePathFromUtf8(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    // Asking for write access answers whether this user has it; the sharing of another
    // program that holds the file open is not a question of permission.
    // A folder opens only with backup semantics, which a file does not need (it could let a
    // privileged user past the access check).
    const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const HANDLE h = CreateFileW(wide.c_str(), folder ? FILE_ADD_FILE : FILE_WRITE_DATA,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, folder ? FILE_FLAG_BACKUP_SEMANTICS : 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(h);
    return true;
}

}  // namespace vb::platform
