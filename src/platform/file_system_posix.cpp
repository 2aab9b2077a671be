#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>

#include <cerrno>
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

// What stops a folder's deletion before anything is removed.
struct Blocked {
    std::string path;  // empty: nothing stops it
    const char* what = nullptr;
    int code = 0;
};

// True when the folder is the root of a mount: another file system, or a bind mount of a
// folder of this one (same device, so only the system's mount flag tells).
bool IsMountRoot(const char* path, const struct stat& st, dev_t parentDevice) {
    if (st.st_dev != parentDevice) return true;
#ifdef STATX_ATTR_MOUNT_ROOT
    struct statx stx {};
    if (::statx(AT_FDCWD, path, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE, &stx) == 0 &&
        (stx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0)
        return (stx.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
#endif
    return false;
}

// The walk's state: nftw calls back with a plain function.
thread_local Blocked* tWalkFound = nullptr;
thread_local dev_t tWalkDevice = 0;

int VisitForDeletion(const char* path, const struct stat* st, int kind, struct FTW* at) {
    Blocked& found = *tWalkFound;
    if (kind == FTW_SL || kind == FTW_SLN) return 0;  // a link is removed, never followed
    if (kind == FTW_NS || kind == FTW_DNR) {
        found = {path, "フォルダを調べられません。", errno != 0 ? errno : os_error::kAccessDenied};
        return 1;
    }
    if (kind == FTW_D && at->level > 0 && IsMountRoot(path, *st, tWalkDevice)) {
        found = {path, kDeletionMountInside, os_error::kBusy};
        return 1;
    }
    if (!MayWrite(path)) {
        found = {path, kDeletionWriteProtected, os_error::kAccessDenied};
        return 1;
    }
    return 0;
}

// Finds the first thing inside the folder (or the folder itself) that stops its deletion:
// content this user may not write, or a file system mounted inside, whose files are not
// the folder's to delete and which is never entered (as rm --one-file-system). Links are
// not followed. The walk holds at most kWalkDescriptors folders open however deep it goes.
Blocked FindBlocked(const std::string& folder) {
    constexpr int kWalkDescriptors = 16;
    const fs::path native = PathFromUtf8(folder);
    struct stat top {};
    if (::lstat(native.c_str(), &top) != 0) return {folder, "フォルダを調べられません。", errno};
    Blocked found;
    tWalkFound = &found;
    tWalkDevice = top.st_dev;
    errno = 0;
    const int walked = ::nftw(native.c_str(), VisitForDeletion, kWalkDescriptors, FTW_PHYS);
    tWalkFound = nullptr;
    if (walked == -1 && found.path.empty())
        return {folder, "フォルダを調べられません。", errno != 0 ? errno : os_error::kAccessDenied};
    if (!found.path.empty()) found.path = Utf8FromPath(fs::path(found.path));
    return found;
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
    // The output folder itself a mount point cannot be moved aside, and emptying it in place
    // would delete the old pages before a new one is written.
    {
        struct stat st {};
        if (::lstat(native.c_str(), &st) == 0 && IsMountRoot(native.c_str(), st, st.st_dev))
            ThrowFailure(kCannotMoveAside, path, os_error::kBusy);
    }
    const Blocked blocked = FindBlocked(path);
    if (!blocked.path.empty()) ThrowFailure(blocked.what, blocked.path, blocked.code);

    RemoveLeftOverAsides(path);
    if (native.has_parent_path() && native.has_filename()) {
        const fs::path aside =
            native.parent_path() / PathFromUtf8(AsideName(Utf8FromPath(native.filename())));
        if (MoveWithoutReplacing(native, aside)) return Utf8FromPath(aside);
        // Refused rather than emptied in place: the run would go on to fail where the move
        // did (the folder's place cannot be written), with the old pages gone and none new.
        if (errno != ENAMETOOLONG) ThrowFailure(kCannotMoveAside, path, errno);
    }
    // A name too long for the aside name beside it: removed in place.
    fs::remove_all(native, ec);
    if (ec) ThrowFailure(kCannotDeleteFolder, path, ec.value());
    return {};
}

void FileSystemObject::DeleteMovedAside(const std::string& aside, const std::string&) {
    std::error_code ec;
    fs::remove_all(PathFromUtf8(aside), ec);
    if (ec) ThrowFailure(kCannotDeleteFolder, aside, ec.value());
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
