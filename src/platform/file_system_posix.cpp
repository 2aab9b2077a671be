#include <filesystem>
#include <system_error>

#include "platform/file_system.h"
#include "platform/native_path.h"
#include "platform/system_error.h"

namespace vb::platform {

namespace fs = std::filesystem;

bool FileSystemObject::FolderExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(PathFromUtf8(path), ec);
}

void FileSystemObject::CreateFolder(const std::string& path) {
    const fs::path native = PathFromUtf8(path);
    std::error_code ec;
    if (fs::exists(fs::symlink_status(native, ec)))
        ThrowFailure(kCannotCreateFolder, path, os_error::kAlreadyExists);
    if (!fs::create_directory(native, ec) || ec)
        ThrowFailure(kCannotCreateFolder, path, ec ? ec.value() : os_error::kAlreadyExists);
}

}  // namespace vb::platform
