#include "platform/file_system.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "codec/codec.h"
#include "platform/aside_name.h"
#include "platform/closes_behind.h"
#include "platform/file_handle.h"
#include "platform/folder_steps.h"
#include "platform/leftover_name.h"
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

bool FileSystemObject::IsFolderLink(const std::string& path) {
    return !path.empty() && folder_steps::LookAt(path).kind == folder_steps::Kind::Link;
}

std::vector<std::string> FileSystemObject::ListPlainFiles(const std::string& path) {
    std::vector<std::string> names;
    if (const int error = folder_steps::ListPlainFiles(path, names))
        ThrowFailure(kCannotListFolder, path, error);
    return names;
}

std::string FileSystemObject::MoveFolderAside(const std::string& path) {
    using folder_steps::Kind;
    const folder_steps::Look look = folder_steps::LookAt(path);
    if (look.kind == Kind::Missing) ThrowFailure(kFolderNotFound, path, look.error);
    if (look.kind == Kind::Link) {
        // A link standing in for the folder: remove the link, never what it points to.
        if (const int error = folder_steps::RemoveLink(path))
            ThrowFailure(kCannotDeleteFolder, path, error);
        return {};
    }
    if (look.kind != Kind::Folder && look.kind != Kind::MountRoot)
        ThrowFailure(kNotAFolder, path, os_error::kNotAFolder);
    // The output folder itself a mount point cannot be moved aside, and emptying it in place
    // would delete the old pages before a new one is written.
    if (look.kind == Kind::MountRoot) ThrowFailure(kCannotMoveAside, path, os_error::kBusy);
    const folder_steps::Blocked blocked = folder_steps::FindBlocked(path);
    if (!blocked.path.empty()) ThrowFailure(blocked.what, blocked.path, blocked.code);

    // Moved aside, the folder leaves its name free at once for the new one, even while another
    // program holds it open (Windows keeps such a folder "delete pending" under its name).
    if (const auto parts = SplitAtLastSeparator(path)) {
        const std::string aside = JoinPath(parts->first, AsideName(parts->second));
        const int error = folder_steps::MoveWithoutReplacing(path, aside);
        if (error == 0) return aside;
        // Refused rather than emptied in place: the run would go on to fail where the move
        // did (the folder's place cannot be written, a file inside is held open), with the
        // old pages gone and none new.
        if (!folder_steps::IsNameTooLong(error)) ThrowFailure(kCannotMoveAside, path, error);
    }
    // A path of one name, or one too long for the aside name beside it: removed in place.
    if (const int error = folder_steps::RemoveTree(path))
        ThrowFailure(kCannotDeleteFolder, path, error);
    return {};
}

// What stays aside is removed by a later deletion of path (RemoveLeftOverAsides): it never
// goes back under path's name, which by now the new folder may take at any moment.
void FileSystemObject::DeleteMovedAside(const std::string& aside, const std::string&) {
    if (const int error = folder_steps::RemoveTree(aside))
        ThrowFailure(kCannotDeleteFolder, aside, error);
}

// Old pages of interrupted deletions do not pile up next to the output folders.
void FileSystemObject::RemoveLeftOverAsides(const std::string& path) {
    const auto parts = SplitAtLastSeparator(path);
    if (!parts) return;
    const std::string& folderName = parts->second;
    SweepLeftovers(
        parts->first, LeftoverKind::Folder,
        [&](std::string_view name) { return IsLeftOverAside(folderName, name); },
        [](const std::string& leftover) { folder_steps::RemoveTree(leftover); });
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
