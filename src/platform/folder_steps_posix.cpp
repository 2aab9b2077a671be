#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/folder_steps.h"
#include "platform/native_path.h"
#include "platform/system_error.h"
#include "platform/writability.h"

namespace vb::platform::folder_steps {

namespace fs = std::filesystem;

namespace {

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

bool MayWriteAt(int at, const char* name, const struct stat& st) {
    if (::geteuid() == 0) return (st.st_mode & 0222) != 0;
    return ::faccessat(at, name, W_OK, AT_EACCESS) == 0;
}

}  // namespace

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

int MoveWithoutReplacing(const std::string& from, const std::string& to) {
    const fs::path source = PathFromUtf8(from), target = PathFromUtf8(to);
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    // A file system that cannot refuse to replace (EINVAL) is asked as below.
    if (errno != EINVAL) return errno;
#endif
    std::error_code ec;
    if (fs::exists(fs::symlink_status(target, ec))) return EEXIST;
    return ::rename(source.c_str(), target.c_str()) == 0 ? 0 : errno;
}

bool IsNameTooLong(int error) { return error == ENAMETOOLONG; }

int RemoveFile(const std::string& path) {
    return ::unlink(PathFromUtf8(path).c_str()) == 0 ? 0 : errno;
}

int RemoveLink(const std::string& path) { return RemoveFile(path); }

Look LookAt(const std::string& path) {
    const fs::path native = PathFromUtf8(path);
    struct stat st {};
    if (::lstat(native.c_str(), &st) != 0) return {Kind::Missing, errno};
    if (S_ISLNK(st.st_mode)) return {Kind::Link};
    if (S_ISDIR(st.st_mode))
        return {IsMountRoot(AT_FDCWD, native.c_str(), st, st.st_dev) ? Kind::MountRoot
                                                                     : Kind::Folder};
    return {S_ISREG(st.st_mode) ? Kind::File : Kind::Other};
}

int ListPlainFiles(const std::string& folder, std::vector<std::string>& names) {
    names.clear();
    std::error_code ec;
    for (fs::directory_iterator it(PathFromUtf8(folder), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code kind;  // a link to nothing, or an entry gone meanwhile, is no file
        if (it->is_regular_file(kind)) names.push_back(Utf8FromPath(it->path().filename()));
    }
    return ec.value();
}

std::vector<Entry> ListEntries(const std::string& folder) {
    std::vector<Entry> entries;
    std::error_code ec;
    for (fs::directory_iterator it(PathFromUtf8(folder), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code statusError;  // an entry gone meanwhile ends nothing but its own look
        const fs::file_type type = it->symlink_status(statusError).type();
        const Kind kind = type == fs::file_type::symlink     ? Kind::Link
                          : type == fs::file_type::directory ? Kind::Folder
                          : type == fs::file_type::regular   ? Kind::File
                                                             : Kind::Other;
        entries.push_back({Utf8FromPath(it->path().filename()), kind});
    }
    return entries;
}

}  // namespace vb::platform::folder_steps
