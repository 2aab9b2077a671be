#include <filesystem>
#include <system_error>

#include "platform/file_system.h"
#include "platform/native_path.h"
#include "platform/system_error.h"
#include "platform/writability.h"

namespace vb::platform {

namespace fs = std::filesystem;

namespace {

// A regular file or a link to one; pipes and devices would block a reader.
bool IsPlainFile(const fs::directory_entry& entry) {
    std::error_code ec;
    return entry.is_regular_file(ec);
}

// Finds the first thing inside the folder (or the folder itself) that this user may not
// write. Links are not followed: what they point to is not ours to delete.
std::string FindWriteProtected(const std::string& folder) {
    if (!MayWrite(folder)) return folder;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(PathFromUtf8(folder), ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_symlink(ec) || ec) continue;
        const std::string path = Utf8FromPath(it->path());
        if (!MayWrite(path)) return path;
    }
    if (ec) ThrowFailure("フォルダを調べられません。", folder, ec.value());
    return {};
}

}  // namespace

bool FileSystemObject::FolderExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(PathFromUtf8(path), ec);
}

std::vector<std::string> FileSystemObject::ListPlainFiles(const std::string& path) {
    std::vector<std::string> names;
    std::error_code ec;
    for (auto it = fs::directory_iterator(PathFromUtf8(path), ec);
         !ec && it != fs::directory_iterator(); it.increment(ec)) {
        if (IsPlainFile(*it)) names.push_back(Utf8FromPath(it->path().filename()));
    }
    if (ec) ThrowFailure("フォルダの中を読めません。", path, ec.value());
    return names;
}

void FileSystemObject::DeleteFolder(const std::string& path) {
    const fs::path native = PathFromUtf8(path);
    std::error_code ec;
    const auto status = fs::symlink_status(native, ec);
    if (ec || !fs::exists(status))
        ThrowFailure("フォルダが見つかりません。", path, os_error::kNotFound);
    if (fs::is_symlink(status)) {
        // A link standing in for the folder: remove the link, never what it points to.
        if (!fs::remove(native, ec)) ThrowFailure(kCannotDeleteFolder, path, ec.value());
        return;
    }
    if (!fs::is_directory(status))
        ThrowFailure("フォルダではありません。", path, os_error::kNotAFolder);
    const std::string blocked = FindWriteProtected(path);
    if (!blocked.empty()) ThrowFailure(kDeletionWriteProtected, blocked, os_error::kAccessDenied);
    fs::remove_all(native, ec);
    if (ec) ThrowFailure(kCannotDeleteFolder, path, ec.value());
}

void FileSystemObject::CreateFolder(const std::string& path) {
    const fs::path native = PathFromUtf8(path);
    std::error_code ec;
    if (fs::exists(fs::symlink_status(native, ec)))
        ThrowFailure("フォルダを作成できません。", path, os_error::kAlreadyExists);
    if (!fs::create_directory(native, ec) || ec)
        ThrowFailure("フォルダを作成できません。", path,
                     ec ? ec.value() : os_error::kAlreadyExists);
}

}  // namespace vb::platform
