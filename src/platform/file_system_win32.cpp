#include <windows.h>

#include <string>

#include "platform/file_system.h"
#include "platform/native_path.h"
#include "platform/system_error.h"
#include "platform/wide_text.h"

namespace vb::platform {

namespace {

int LastError() { return static_cast<int>(GetLastError()); }

DWORD Attributes(const std::string& path) {
    return GetFileAttributesW(WidePathFromUtf8(path).c_str());
}

bool IsFolder(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

}  // namespace

bool FileSystemObject::FolderExists(const std::string& path) {
    const DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && IsFolder(attributes);
}

void FileSystemObject::CreateFolder(const std::string& path) {
    if (!CreateDirectoryW(WidePathFromUtf8(path).c_str(), nullptr))
        ThrowFailure(kCannotCreateFolder, path, LastError());
}

}  // namespace vb::platform
