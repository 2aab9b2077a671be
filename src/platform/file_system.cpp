#include "platform/file_system.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/codec.h"
#include "platform/program_folder.h"
#include "platform/system_error.h"

#ifdef _WIN32
#include <fstream>
#include <iterator>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vb::platform {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, int err) {
    throw SystemError(DescribeFailure(what, path, err));
}

[[noreturn]] void Fail(const std::string& what, const std::string& path,
                       const std::error_code& ec) {
    throw SystemError(DescribeFailure(what, path, 0) + "\r\n" + ec.message());
}

// A regular file or a link to one; pipes and devices would block a reader.
bool IsPlainFile(const fs::directory_entry& entry) {
    std::error_code ec;
    return entry.is_regular_file(ec);
}

bool HasWritePermission(const fs::file_status& status) {
    using fs::perms;
    return (status.permissions() &
            (perms::owner_write | perms::group_write | perms::others_write)) != perms::none;
}

// Finds the first thing inside the folder (or the folder itself) without write permission
// bits. Links are not followed: what they point to is not ours to delete.
std::string FindWriteProtected(const std::string& folder) {
    std::error_code ec;
    if (!HasWritePermission(fs::status(folder, ec))) return folder;
    for (auto it = fs::recursive_directory_iterator(folder, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const auto status = it->symlink_status(ec);
        if (ec) break;
        if (fs::is_symlink(status)) continue;
        if (!HasWritePermission(status)) return it->path().string();
    }
    if (ec) Fail("フォルダを調べられません。", folder, ec);
    return {};
}

}  // namespace

Folder::Folder(std::string path, std::vector<FileEntry> files)
    : path_(std::move(path)), files_(std::move(files)) {}

FileSystemObject::FileSystemObject() : tempNames_(std::random_device{}()) {}

bool FileSystemObject::FolderExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

Folder FileSystemObject::GetFolder(const std::string& path) {
    if (!FolderExists(path)) Fail("フォルダが見つかりません。", path, ENOENT);
    std::vector<FileEntry> files;
    std::error_code ec;
    for (auto it = fs::directory_iterator(path, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        if (!IsPlainFile(*it)) continue;
        std::string name = it->path().filename().string();
        std::string full = JoinPath(path, name);
        files.push_back({std::move(name), std::move(full)});
    }
    if (ec) Fail("フォルダの中を読めません。", path, ec);
    std::sort(files.begin(), files.end(),
              [](const FileEntry& a, const FileEntry& b) { return a.Name < b.Name; });
    return Folder(path, std::move(files));
}

void FileSystemObject::DeleteFolder(const std::string& path) {
    std::error_code ec;
    const auto status = fs::symlink_status(path, ec);
    if (ec || !fs::exists(status)) Fail("フォルダが見つかりません。", path, ENOENT);
    if (fs::is_symlink(status)) {
        // A link standing in for the folder: remove the link, never what it points to.
        if (!fs::remove(path, ec)) Fail("フォルダを削除できません。", path, ec);
        return;
    }
    if (!fs::is_directory(status)) Fail("フォルダではありません。", path, ENOTDIR);
    const std::string blocked = FindWriteProtected(path);
    if (!blocked.empty()) Fail("書き込み禁止のため削除できません。", blocked, EACCES);
    fs::remove_all(path, ec);
    if (ec) Fail("フォルダを削除できません。", path, ec);
}

void FileSystemObject::CreateFolder(const std::string& path) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(path, ec))) Fail("フォルダを作成できません。", path, EEXIST);
    if (!fs::create_directory(path, ec) || ec)
        Fail("フォルダを作成できません。", path, ec ? ec.value() : EEXIST);
}

std::string FileSystemObject::GetTempName() {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::uniform_int_distribution<std::uint32_t> digits(0, 0xFFFFF);
    std::uint32_t v = digits(tempNames_);
    std::string name = "rad00000.tmp";
    for (int i = 7; i >= 3; --i, v >>= 4) name[static_cast<std::size_t>(i)] = kHex[v & 0xF];
    return name;
}

std::string FileSystemObject::GetBaseName(const std::string& path) {
    std::string name = path;
    while (!name.empty() && (name.back() == '/' || name.back() == PathSeparator())) name.pop_back();
    const auto slash = name.find_last_of(std::string("/") + PathSeparator());
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

#ifndef _WIN32

bool FileSystemObject::CanOpenForReading(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    const bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    return ok;
}

std::string FileSystemObject::ReadAllBytes(const std::string& path) {
    // Non-blocking open so that a pipe cannot hang the program; only regular files are read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) Fail("ファイルを開けません。", path, errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        Fail("ファイルを開けません。", path, err);
    }
    // Room for one byte more than the file holds: a read of a regular file that stops short
    // of the room has reached the end, so a file read whole costs one read, not two.
    std::string bytes(static_cast<std::size_t>(st.st_size) + 1, '\0');
    std::size_t got = 0;
    for (;;) {
        if (got == bytes.size()) bytes.resize(bytes.size() + 4096);  // the file grew
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            Fail("ファイルを読めません。", path, err);
        }
        got += static_cast<std::size_t>(n);
        if (n == 0 || got < bytes.size()) break;
    }
    ::close(fd);
    bytes.resize(got);
    return bytes;
}

void FileSystemObject::WriteAllBytes(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) Fail("ファイルを書き込めません。", path, errno);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            Fail("ファイルを書き込めません。", path, err);
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) Fail("ファイルを書き込めません。", path, errno);
}

#else

bool FileSystemObject::CanOpenForReading(const std::string& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return false;
    std::ifstream in(fs::u8path(path), std::ios::binary);
    return static_cast<bool>(in);
}

std::string FileSystemObject::ReadAllBytes(const std::string& path) {
    if (!CanOpenForReading(path)) Fail("ファイルを開けません。", path, ENOENT);
    std::ifstream in(fs::u8path(path), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    if (in.bad()) Fail("ファイルを読めません。", path, EIO);
    return bytes;
}

void FileSystemObject::WriteAllBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(fs::u8path(path), std::ios::binary | std::ios::trunc);
    if (!out) Fail("ファイルを書き込めません。", path, EACCES);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) Fail("ファイルを書き込めません。", path, EIO);
}

#endif

std::string FileSystemObject::ReadAllText(const std::string& path) {
    return cp932::Decode(ReadAllBytes(path));
}

void FileSystemObject::WriteAllText(const std::string& path, const std::string& utf8) {
    WriteAllBytes(path, cp932::Encode(utf8));
}

}  // namespace vb::platform
