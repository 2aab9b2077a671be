#include <fcntl.h>

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/aside_name.h"
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

// Renames from to to unless something has that name already (rename(2) would replace an
// empty folder there).
bool MoveWithoutReplacing(const fs::path& from, const fs::path& to) {
#ifdef RENAME_NOREPLACE
    return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0;
#else
    std::error_code ec;
    if (fs::exists(fs::symlink_status(to, ec))) return false;
    return ::rename(from.c_str(), to.c_str()) == 0;
#endif
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

// Old pages of interrupted deletions do not pile up next to the output folders.
void FileSystemObject::RemoveLeftOverAsides(const std::string& path) {
    const fs::path folder = PathFromUtf8(path);
    if (!folder.has_filename()) return;
    const std::string folderName = Utf8FromPath(folder.filename());
    std::vector<fs::path> leftOvers;
    std::error_code ec;
    for (auto it = fs::directory_iterator(folder.parent_path(), ec);
         !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code kind;
        if (it->is_symlink(kind) || !it->is_directory(kind)) continue;
        if (IsLeftOverAside(folderName, Utf8FromPath(it->path().filename())))
            leftOvers.push_back(it->path());
    }
    for (const auto& leftOver : leftOvers) fs::remove_all(leftOver, ec);
}

std::string FileSystemObject::MoveFolderAside(const std::string& path) {
    const fs::path native = PathFromUtf8(path);
    std::error_code ec;
    const auto status = fs::symlink_status(native, ec);
    if (ec || !fs::exists(status))
        ThrowFailure("フォルダが見つかりません。", path, os_error::kNotFound);
    if (fs::is_symlink(status)) {
        // A link standing in for the folder: remove the link, never what it points to.
        if (!fs::remove(native, ec)) ThrowFailure(kCannotDeleteFolder, path, ec.value());
        return {};
    }
    if (!fs::is_directory(status))
        ThrowFailure("フォルダではありません。", path, os_error::kNotAFolder);
    const std::string blocked = FindWriteProtected(path);
    if (!blocked.empty()) ThrowFailure(kDeletionWriteProtected, blocked, os_error::kAccessDenied);

    RemoveLeftOverAsides(path);
    if (native.has_parent_path() && native.has_filename()) {
        const fs::path aside =
            native.parent_path() / PathFromUtf8(AsideName(Utf8FromPath(native.filename())));
        if (MoveWithoutReplacing(native, aside)) return Utf8FromPath(aside);
    }
    // Not movable (another file system under the name, a name too long): removed in place.
    fs::remove_all(native, ec);
    if (ec) ThrowFailure(kCannotDeleteFolder, path, ec.value());
    return {};
}

void FileSystemObject::DeleteMovedAside(const std::string& aside, const std::string& path) {
    std::error_code ec;
    fs::remove_all(PathFromUtf8(aside), ec);
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
