#include "settings/settings_file_store.h"

#include <cerrno>
#include <filesystem>

#include "platform/program_folder.h"

#ifdef _WIN32
#include <fstream>
#include <iterator>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vb::settings {

namespace fs = std::filesystem;

bool HasWritePermissionBits(unsigned mode) { return (mode & 0222u) != 0; }

std::string ResolveLinks(const std::string& path) {
    constexpr int kMaxLinks = 40;  // the system's own limit for a chain of links
    fs::path current(path);
    for (int i = 0; i < kMaxLinks; ++i) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(current, ec)) || ec) break;
        const fs::path target = fs::read_symlink(current, ec);
        if (ec) break;
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return current.string();
}

#ifndef _WIN32

namespace {

int WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

std::string FolderOf(const std::string& path) {
    const std::string folder = fs::path(path).parent_path().string();
    return folder.empty() ? std::string(".") : folder;
}

// Makes the rename itself durable; a failure here changes nothing about the result.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

struct TempOutcome {
    int error = 0;
    bool created = false;  // false: the folder refused the temporary file itself
};

// Writes the bytes to a temporary file beside the target and renames it over the target.
// old is the target's status when it exists, whose owner and permissions the new file takes.
TempOutcome ReplaceViaTemp(const std::string& target, const std::string& folder,
                           const std::string& bytes, const struct stat* old) {
    std::string temp =
        platform::JoinPath(folder, "." + fs::path(target).filename().string() + ".XXXXXX");
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return {errno, false};

    int err = WriteAll(fd, bytes);
    if (err == 0 && old) {
        // The owner first: changing it can clear set-id bits that the mode then restores.
        if (::fchown(fd, old->st_uid, old->st_gid) != 0) {
            // Only a privileged user may give a file away; otherwise it stays ours.
        }
        if (::fchmod(fd, old->st_mode & 07777) != 0) err = errno;
    } else if (err == 0) {
        // A new settings file holds FTP passwords: owner only, whatever the umask.
        if (::fchmod(fd, 0600) != 0) err = errno;
    }
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && ::rename(temp.c_str(), target.c_str()) != 0) err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        return {err, true};
    }
    SyncFolder(folder);
    return {0, true};
}

// The fallback for a folder that takes no new files: the file is overwritten where it is.
int RewriteInPlace(const std::string& target, const std::string& bytes) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    int err = WriteAll(fd, bytes);
    if (err == 0 && ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) err = errno;
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    return err;
}

}  // namespace

ReadResult SettingsFileStore::Read(const std::string& path) {
    ReadResult result;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        const int err = errno;
        result.exists = !(err == ENOENT || err == ENOTDIR);
        result.error = result.exists ? err : 0;
        return result;
    }
    result.exists = true;
    if (!S_ISREG(st.st_mode)) {
        result.error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return result;
    }
    // Non-blocking, so that a pipe swapped in meanwhile cannot hang the program.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        result.error = errno;
        return result;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            result.error = errno;
            result.bytes.clear();
            break;
        }
        if (n == 0) break;
        result.bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return result;
}

int SettingsFileStore::Replace(const std::string& path, const std::string& bytes) {
    const std::string target = ResolveLinks(path);
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) return EISDIR;
    if (exists && !S_ISREG(st.st_mode)) return EINVAL;

    const std::string folder = FolderOf(target);
    struct stat folderStatus {};
    if (::stat(folder.c_str(), &folderStatus) != 0) return errno;
    if (!S_ISDIR(folderStatus.st_mode)) return ENOTDIR;

    int refusal = EACCES;  // a folder without write permission bits takes no new file
    if (HasWritePermissionBits(folderStatus.st_mode)) {
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
    if (!HasWritePermissionBits(st.st_mode)) return EACCES;
    return RewriteInPlace(target, bytes);
}

#else

ReadResult SettingsFileStore::Read(const std::string& path) {
    ReadResult result;
    std::error_code ec;
    const auto status = fs::status(fs::u8path(path), ec);
    if (!fs::exists(status)) return result;
    result.exists = true;
    if (!fs::is_regular_file(status)) {
        result.error = fs::is_directory(status) ? EISDIR : EINVAL;
        return result;
    }
    std::ifstream in(fs::u8path(path), std::ios::binary);
    if (!in) {
        result.error = EACCES;
        return result;
    }
    result.bytes.assign(std::istreambuf_iterator<char>(in), {});
    if (in.bad()) result.error = EIO;
    return result;
}

int SettingsFileStore::Replace(const std::string& path, const std::string& bytes) {
    const fs::path target = fs::u8path(ResolveLinks(path));
    std::error_code ec;
    if (fs::is_directory(target, ec)) return EISDIR;
    fs::path temp = target;
    temp += ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return EACCES;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            fs::remove(temp, ec);
            return EIO;
        }
    }
    fs::rename(temp, target, ec);
    if (ec) {
        fs::remove(temp, ec);
        return EACCES;
    }
    return 0;
}

#endif

}  // namespace vb::settings
