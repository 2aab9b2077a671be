#include "platform/file_system.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "codec/codec.h"
#include "platform/closes_behind.h"
#include "platform/file_handle.h"
#include "platform/native_path.h"
#include "platform/program_folder.h"
#include "platform/system_error.h"

namespace vb::platform {

Folder::Folder(std::string path, std::vector<FileEntry> files)
    : path_(std::move(path)), files_(std::move(files)) {}

FileSystemObject::FileSystemObject() : tempNames_(std::random_device{}()) {}

Folder FileSystemObject::GetFolder(const std::string& path) {
    std::vector<FileEntry> files;
    for (std::string& name : GetFileNames(path)) {
        std::string full = JoinPath(path, name);
        files.push_back({std::move(name), std::move(full)});
    }
    return Folder(path, std::move(files));
}

std::vector<std::string> FileSystemObject::GetFileNames(const std::string& path) {
    if (!FolderExists(path)) ThrowFailure(kFolderNotFound, path, os_error::kNotFound);
    std::vector<std::string> names = ListPlainFiles(path);
    // Byte order of the UTF-8 names on every system, so that the same seed makes the same
    // picks whatever order the file system lists in.
    std::sort(names.begin(), names.end());
    return names;
}

void FileSystemObject::DeleteFolder(const std::string& path) {
    const std::string aside = MoveFolderAside(path);
    if (!aside.empty()) DeleteMovedAside(aside, path);
    RemoveLeftOverAsides(path);
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
    if (auto parts = SplitAtLastSeparator(name)) name = std::move(parts->second);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

bool FileSystemObject::CanOpenForReading(const std::string& path) {
    int error = 0;
    return FileHandle::OpenForReading(path, error).IsOpen();
}

std::string FileSystemObject::ReadAllBytes(const std::string& path) {
    int error = 0;
    FileHandle file = FileHandle::OpenForReading(path, error);
    if (!file.IsOpen()) ThrowFailure(kCannotOpen, path, error);
    std::string bytes;
    if ((error = file.ReadToEnd(bytes)) != 0) ThrowFailure("ファイルを読めません。", path, error);
    return bytes;
}

void FileSystemObject::WriteAllBytes(const std::string& path, std::string_view bytes) {
    WriteAllPieces(path, {&bytes, 1});
}

void FileSystemObject::WriteAllPieces(const std::string& path,
                                      std::span<const std::string_view> pieces) {
    int error = 0;
    FileHandle file = FileHandle::CreateForWriting(path, error);
    if (!file.IsOpen()) ThrowFailure(kCannotWrite, path, error);
    if ((error = file.WriteAll(pieces)) == 0) {
        if (closesBehind_) return closesBehind_->Hand(std::move(file), path);
        error = CloseWritten(file);
    }
    if (error == 0) return;
    // A file cut short (a full disk) is no page: it goes, rather than stand among the good ones.
    file.Close();
    std::error_code ignored;
    std::filesystem::remove(PathFromUtf8(path), ignored);
    ThrowFailure(kCannotWrite, path, error);
}

int FileSystemObject::CloseWritten(FileHandle& file) { return file.Close(); }

std::string_view FileSystemObject::ReadFileOf(FolderReader& folder, const std::string& name) {
    const FolderReader::Read read = folder.ReadFile(name);
    if (read.error != 0)
        ThrowFailure(read.openFailed ? kCannotOpen : "ファイルを読めません。",
                     JoinPath(folder.Path(), name), read.error);
    return read.bytes;
}

std::string FileSystemObject::ReadAllText(const std::string& path) {
    return codec::cp932::Decode(ReadAllBytes(path));
}

void FileSystemObject::WriteAllText(const std::string& path, const std::string& utf8) {
    WriteAllBytes(path, codec::cp932::Encode(utf8));
}

FileLock FileSystemObject::TakeLock(const std::string& path) {
    int error = 0;
    FileLock lock = FileLock::TryTake(path, error);
    if (error == 0) return lock;
    // A lock file in a folder that is missing: the folder is what the user must make.
    const auto parts = SplitAtLastSeparator(path);
    const std::string folder = parts ? parts->first : std::string();
    if (IsNotFoundError(error) && !folder.empty() && !FolderExists(folder))
        ThrowFailure(kFolderNotFound, folder, error);
    ThrowFailure("ロックファイルを開けません。", path, error);
}

}  // namespace vb::platform
