#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/file_handle.h"
#include "platform/native_path.h"
#include "platform/save/access_list.h"
#include "platform/save/save_steps.h"
#include "platform/save/save_temp.h"
#include "platform/save/symbolic_link.h"
#include "platform/save/whole_file.h"
#include "platform/writability.h"

namespace vb::platform {

namespace fs = std::filesystem;

namespace {

std::string FolderOf(const std::string& path) {
    const std::string folder = Utf8FromPath(PathFromUtf8(path).parent_path());
    return folder.empty() ? std::string(".") : folder;
}

// Makes the rename itself durable; a failure here changes nothing about the result.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    FileHandle::Adopt(fd).Flush();
}

struct TempOutcome {
    int error = 0;
    bool created = false;  // false: the folder refused the temporary file itself
    bool inPlace = false;  // a new file would not be what the old one is: rewrite it in place
};

// Gives the new file the old one's owner and group, which only a privileged user may give
// away (an owner may pick a group of its own). False when the system refuses.
bool TakeOverOwner(int fd, const struct stat& old) {
    return ::fchown(fd, old.st_uid, old.st_gid) == 0;
}

// Gives the new file the old one's permissions, or owner-only ones when it is new. After the
// owner, the writing and the access list, which may all clear set-id bits that the mode
// restores. With an access list the group bits are its mask, set to the old one's again.
int TakeOverPermissions(int fd, const struct stat* old) {
    // A new settings file holds FTP passwords: owner only, whatever the umask.
    const mode_t mode = old ? old->st_mode & 07777 : 0600;
    return ::fchmod(fd, mode) == 0 ? 0 : errno;
}

// Writes the bytes to a temporary file beside the target and renames it over the target.
// Where the new file could not keep the old one's owner and group, or its access list and
// extended attributes, or the folder refuses the rename (its sticky bit keeps others' files
// from being replaced), nothing is renamed and the outcome asks for the rewrite in place:
// the file stays the owner's and the group's, and keeps who else may read or write it. The
// mode is never set on a new file that could not take the old one's list, whose mask its
// group bits may be.
TempOutcome ReplaceViaTemp(const std::string& target, const std::string& folder,
                           const std::string& bytes, const struct stat* old) {
    std::string temp;
    int fd = -1;
    if (const int err = Step("create temporary", [&] {
            // A name this process never gave can still be taken: by a leftover of an earlier
            // process of the same id. The next name is then another.
            for (int tries = 0; tries < 3; ++tries) {
                temp = TempNameFor(target);
                fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
                if (fd >= 0 || errno != EEXIST) break;
            }
            return fd < 0 ? errno : 0;
        }))
        return {err, false};
    FileHandle file = FileHandle::Adopt(fd);
    if (old && Step("give owner", [&] { return TakeOverOwner(fd, *old) ? 0 : EPERM; }) != 0) {
        file.Close();
        Step("remove temporary", [&] { return ::unlink(temp.c_str()) == 0 ? 0 : errno; });
        return {EPERM, true, true};
    }

    int err = Step("write", [&] { return file.WriteAll(bytes); });
    bool accessNotKept = false;
    if (err == 0 && old) {
        err = Step("copy access list", [&] { return CopyAccessList(target, file); });
        accessNotKept = err != 0;
    }
    if (err == 0) err = Step("set permissions", [&] { return TakeOverPermissions(fd, old); });
    if (err == 0) err = Step("flush", [&] { return file.Flush(); });
    if (const int closed = Step("close", [&] { return file.Close(); }); err == 0) err = closed;
    bool renameRefused = false;
    if (err == 0) {
        err =
            Step("rename", [&] { return ::rename(temp.c_str(), target.c_str()) == 0 ? 0 : errno; });
        renameRefused = old && (err == EPERM || err == EACCES);
    }
    if (err != 0) {
        Step("remove temporary", [&] { return ::unlink(temp.c_str()) == 0 ? 0 : errno; });
        return {err, true, renameRefused || accessNotKept};
    }
    SyncFolder(folder);
    RemoveLeftoverTemps(target);
    return {0, true};
}

}  // namespace

int ReplaceWholeFile(const std::string& path, const std::string& bytes) {
    const std::string target = ResolveLinks(path);
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) return EISDIR;
    if (exists && !S_ISREG(st.st_mode)) return EINVAL;
    if (exists && !MayWrite(target)) return EACCES;

    const std::string folder = FolderOf(target);
    struct stat folderStatus {};
    if (::stat(folder.c_str(), &folderStatus) != 0) return errno;
    if (!S_ISDIR(folderStatus.st_mode)) return ENOTDIR;

    // A file known by more than one name would lose the other names to a new file.
    if (exists && st.st_nlink > 1) return RewriteInPlace(target, bytes);

    int refusal = EACCES;  // a folder this user may not write takes no new file
    if (MayWrite(folder)) {
        const TempOutcome outcome = ReplaceViaTemp(target, folder, bytes, exists ? &st : nullptr);
        if (outcome.error == 0) return 0;
        if (outcome.inPlace) return RewriteInPlace(target, bytes);
        // A failure after the temporary file existed (a full disk, say) must not be retried
        // in place, where it would leave a torn file.
        const bool folderRefused =
            !outcome.created && (outcome.error == EACCES || outcome.error == EPERM);
        if (!folderRefused) return outcome.error;
        refusal = outcome.error;
    }
    if (!exists) return refusal;
    return RewriteInPlace(target, bytes);
}

}  // namespace vb::platform
