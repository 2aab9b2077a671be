#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// True when the entry is the root of a mount: another file system, or a bind mount of a
// folder of this one (same device, so only the system's mount flag tells).
bool IsMountRoot(int at, const char* name, const struct stat& st, dev_t device) {
    if (st.st_dev != device) return true;
#ifdef STATX_ATTR_MOUNT_ROOT
    struct statx stx {};
    if (::statx(at, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE, &stx) == 0 &&
        (stx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0)
        return (stx.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
#endif
    return false;
}

// The names in the folder open as fd but "." and "..", read whole, so that the walk holds no
// listing open while it goes deeper. 0 or the system's error.
int ListNames(int fd, std::vector<std::string>& names) {
    names.clear();
    const int listed = ::dup(fd);
    DIR* dir = listed < 0 ? nullptr : ::fdopendir(listed);
    if (!dir) {
        const int error = errno;
        if (listed >= 0) ::close(listed);
        return error;
    }
    ::rewinddir(dir);
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") names.emplace_back(name);
    }
    const int error = errno;
    ::closedir(dir);
    return error;
}

int OpenFolderAt(int at, const char* name) {
    return ::openat(at, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// A walk of the tree under a folder that holds two descriptors at most however deep the tree
// goes (a tree of thousands of levels under cron's 1,024), and no path longer than a name:
// each folder's names are read whole before the walk goes into one of them, and it climbs
// back through "..". Links are never followed and mount points never entered (the caller
// refuses them). visit(fd, name, status, path) is called for each entry in the folder open as
// fd: 0 to go on, into it when enter says so, or an error number to stop the walk.
// leave(fd, name) is called in the parent once a folder's walk is done. Returns 0 or the
// first error; path: the entry it names.
struct WalkStep {
    int error = 0;
    bool enter = false;
};
template <class Visit, class Leave>
int WalkTree(const std::string& top, Visit visit, Leave leave, std::string& path) {
    struct Level {
        std::vector<std::string> names;
        std::size_t next = 0;
        std::size_t pathLength = 0;  // of the folder's path
    };
    path = top;
    int fd = ::open(PathFromUtf8(top).c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return errno;
    std::vector<Level> levels(1);
    int error = ListNames(fd, levels.back().names);
    levels.back().pathLength = path.size();
    while (error == 0) {
        Level& level = levels.back();
        path.resize(level.pathLength);
        if (level.next < level.names.size()) {
            const std::string& name = level.names[level.next++];
            path.append("/").append(name);
            struct stat st {};
            if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
                error = errno;
                break;
            }
            const WalkStep step = visit(fd, name.c_str(), st, path);
            if ((error = step.error) != 0 || !step.enter || !S_ISDIR(st.st_mode)) continue;
            const int child = OpenFolderAt(fd, name.c_str());
            std::vector<std::string> names;
            if (child < 0 || (error = ListNames(child, names)) != 0) {
                if (child < 0) error = errno;
                if (child >= 0) ::close(child);
                break;
            }
            ::close(fd);
            fd = child;
            levels.push_back({std::move(names), 0, path.size()});
            continue;
        }
        if (levels.size() == 1) break;
        levels.pop_back();
        const std::string name = levels.back().names[levels.back().next - 1];
        const int parent = OpenFolderAt(fd, "..");
        if (parent < 0) {
            error = errno;
            break;
        }
        ::close(fd);
        fd = parent;
        path.resize(levels.back().pathLength);
        path.append("/").append(name);
        error = leave(fd, name.c_str());
    }
    ::close(fd);
    return error;
}

// What stops a folder's deletion before anything is removed.
struct Blocked {
    std::string path;  // empty: nothing stops it
    const char* what = nullptr;
    int code = 0;
};

bool MayWriteAt(int at, const char* name, const struct stat& st) {
    if (::geteuid() == 0) return (st.st_mode & 0222) != 0;
    return ::faccessat(at, name, W_OK, AT_EACCESS) == 0;
}

// Finds the first thing inside the folder (or the folder itself) that stops its deletion:
// content this user may not write, or a file system mounted inside, whose files are not
// the folder's to delete and which is never entered (as rm --one-file-system).
Blocked FindBlocked(const std::string& folder) {
    if (!MayWrite(folder)) return {folder, kDeletionWriteProtected, os_error::kAccessDenied};
    struct stat top {};
    if (::lstat(PathFromUtf8(folder).c_str(), &top) != 0)
        return {folder, kCannotExamineFolder, errno};
    Blocked found;
    std::string path;
    const int error = WalkTree(
        folder,
        [&](int at, const char* name, const struct stat& st, const std::string& where) {
            if (S_ISLNK(st.st_mode)) return WalkStep{};  // removed as a link, never followed
            if (S_ISDIR(st.st_mode) && IsMountRoot(at, name, st, top.st_dev)) {
                found = {where, kDeletionMountInside, os_error::kBusy};
                return WalkStep{os_error::kBusy};
            }
            if (!MayWriteAt(at, name, st)) {
                found = {where, kDeletionWriteProtected, os_error::kAccessDenied};
                return WalkStep{os_error::kAccessDenied};
            }
            return WalkStep{0, true};
        },
        [](int, const char*) { return 0; }, path);
    if (error != 0 && found.path.empty()) return {path, kCannotExamineFolder, error};
    return found;
}

// Removes the folder and everything in it, links as links; 0 or the first error (what can
// be removed is removed all the same). A mount point met inside is left, unentered.
int RemoveTree(const std::string& folder) {
    struct stat top {};
    if (::lstat(PathFromUtf8(folder).c_str(), &top) != 0) return errno;
    int firstError = 0;
    std::string path;
    const int walked = WalkTree(
        folder,
        [&](int at, const char* name, const struct stat& st, const std::string&) {
            if (!S_ISDIR(st.st_mode)) {
                if (::unlinkat(at, name, 0) != 0 && firstError == 0) firstError = errno;
                return WalkStep{};
            }
            if (IsMountRoot(at, name, st, top.st_dev)) {
                if (firstError == 0) firstError = os_error::kBusy;
                return WalkStep{};
            }
            return WalkStep{0, true};
        },
        [&](int at, const char* name) {
            if (::unlinkat(at, name, AT_REMOVEDIR) != 0 && firstError == 0) firstError = errno;
            return 0;
        },
        path);
    if (walked != 0) return walked;
    if (firstError != 0) return firstError;
    return ::rmdir(PathFromUtf8(folder).c_str()) == 0 ? 0 : errno;
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

bool FileSystemObject::IsFolderLink(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_symlink(fs::symlink_status(PathFromUtf8(path), ec));
}

std::vector<std::string> FileSystemObject::ListPlainFiles(const std::string& path) {
    std::vector<std::string> names;
    std::error_code ec;
    for (auto it = fs::directory_iterator(PathFromUtf8(path), ec);
         !ec && it != fs::directory_iterator(); it.increment(ec)) {
        if (IsPlainFile(*it)) names.push_back(Utf8FromPath(it->path().filename()));
    }
    if (ec) ThrowFailure(kCannotListFolder, path, ec.value());
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
    for (const auto& leftOver : leftOvers) RemoveTree(Utf8FromPath(leftOver));
}

std::string FileSystemObject::MoveFolderAside(const std::string& path) {
    const fs::path native = PathFromUtf8(path);
    std::error_code ec;
    const auto status = fs::symlink_status(native, ec);
    if (ec || !fs::exists(status)) ThrowFailure(kFolderNotFound, path, os_error::kNotFound);
    if (fs::is_symlink(status)) {
        // A link standing in for the folder: remove the link, never what it points to.
        if (!fs::remove(native, ec)) ThrowFailure(kCannotDeleteFolder, path, ec.value());
        return {};
    }
    if (!fs::is_directory(status)) ThrowFailure(kNotAFolder, path, os_error::kNotAFolder);
    // The output folder itself a mount point cannot be moved aside, and emptying it in place
    // would delete the old pages before a new one is written.
    {
        struct stat st {};
        if (::lstat(native.c_str(), &st) == 0 &&
            IsMountRoot(AT_FDCWD, native.c_str(), st, st.st_dev))
            ThrowFailure(kCannotMoveAside, path, os_error::kBusy);
    }
    const Blocked blocked = FindBlocked(path);
    if (!blocked.path.empty()) ThrowFailure(blocked.what, blocked.path, blocked.code);

    if (native.has_parent_path() && native.has_filename()) {
        const fs::path aside =
            native.parent_path() / PathFromUtf8(AsideName(Utf8FromPath(native.filename())));
        if (MoveWithoutReplacing(native, aside)) return Utf8FromPath(aside);
        // Refused rather than emptied in place: the run would go on to fail where the move
        // did (the folder's place cannot be written), with the old pages gone and none new.
        if (errno != ENAMETOOLONG) ThrowFailure(kCannotMoveAside, path, errno);
    }
    // A name too long for the aside name beside it: removed in place.
    if (const int error = RemoveTree(path)) ThrowFailure(kCannotDeleteFolder, path, error);
    return {};
}

void FileSystemObject::DeleteMovedAside(const std::string& aside, const std::string&) {
    if (const int error = RemoveTree(aside)) ThrowFailure(kCannotDeleteFolder, aside, error);
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
