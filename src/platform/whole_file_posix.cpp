#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/file_handle.h"
#include "platform/native_path.h"
#include "platform/save_temp.h"
#include "platform/symbolic_link.h"
#include "platform/whole_file.h"
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
};

// Gives the new file the old one's owner and permissions, or owner-only ones when it is new.
int TakeOverPermissions(int fd, const struct stat* old) {
    if (!old) {
        // A new settings file holds FTP passwords: owner only, whatever the umask.
        return ::fchmod(fd, 0600) == 0 ? 0 : errno;
    }
    // The owner first: changing it can clear set-id bits that the mode then restores. Only a
    // privileged user may give a file away; otherwise it stays ours.
    [[maybe_unused]] const int chown = ::fchown(fd, old->st_uid, old->st_gid);
    return ::fchmod(fd, old->st_mode & 07777) == 0 ? 0 : errno;
}

// Writes the bytes to a temporary file beside the target and renames it over the target.
TempOutcome ReplaceViaTemp(const std::string& target, const std::string& folder,
                           const std::string& bytes, const struct stat* old) {
    std::string temp = TempNameFor(target);
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return {errno, false};
    FileHandle file = FileHandle::Adopt(fd);

    int err = file.WriteAll(bytes);
    if (err == 0) err = TakeOverPermissions(fd, old);
    if (err == 0) err = file.Flush();
    if (const int closed = file.Close(); err == 0) err = closed;
    if (err == 0 && ::rename(temp.c_str(), target.c_str()) != 0) err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        return {err, true};
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

    int refusal = EACCES;  // a folder this user may not write takes no new file
    if (MayWrite(folder)) {
        const TempOutcome outcome = ReplaceViaTemp(target, folder, bytes, exists ? &st : nullptr);
        if (outcome.error == 0) return 0;
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
