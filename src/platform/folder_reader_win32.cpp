#include <windows.h>

#include <algorithm>

#include "platform/folder_reader.h"
#include "platform/program_folder.h"
#include "platform/wide_text.h"

namespace vb::platform {

// Win32 has no documented way to open a file relative to an open folder (only the native
// NtCreateFile does), so each file is opened by its full path.
FolderReader::FolderReader(std::string path) : path_(std::move(path)) {}

FolderReader::~FolderReader() = default;

FolderReader::Read FolderReader::ReadFile(const std::string& name) {
    Read result;
    // Others may write, rename or delete the file while it is read, as on POSIX. Without
    // FILE_FLAG_BACKUP_SEMANTICS a folder cannot be opened at all (ERROR_ACCESS_DENIED), so
    // no attribute query is needed to refuse one.
    const HANDLE h = CreateFileW(WidePathFromUtf8(JoinPath(path_, name)).c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        result = {static_cast<int>(GetLastError()), true, {}};
        return result;
    }
    if (GetFileType(h) != FILE_TYPE_DISK) {  // a device or pipe: reading could block
        CloseHandle(h);
        result = {ERROR_INVALID_FUNCTION, true, {}};
        return result;
    }
    // No size query: the buffer keeps the room of the largest file so far, and a read of a
    // disk file that gives less than it asked has reached the end.
    std::size_t size = std::max<std::size_t>(room_, kFirstRoom);
    std::size_t got = 0;
    for (;;) {
        char* into = Room(size);
        DWORD n = 0;
        const auto want = static_cast<DWORD>(std::min(size - got, kMostPerRead));
        if (!::ReadFile(h, into + got, want, &n, nullptr)) {
            result.error = static_cast<int>(GetLastError());
            break;
        }
        got += n;
        if (n < want) break;  // the end (a zero read included)
        if (got == size) size *= 2;
    }
    CloseHandle(h);
    if (result.error == 0) result.bytes = std::string_view(buffer_.get(), got);
    return result;
}

}  // namespace vb::platform
