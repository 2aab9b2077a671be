#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/aside_name.h"
#include "platform/file_system.h"
#include "platform/native_path.h"
#include "platform/program_folder.h"
#include "platform/system_error.h"
#include "platform/wide_text.h"
#include "platform/writability.h"

namespace vb::platform {

namespace {

int LastError() { return static_cast<int>(GetLastError()); }

DWORD Attributes(const std::string& path) {
    return GetFileAttributesW(WidePathFromUtf8(path).c_str());
}

bool IsLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
bool IsFolder(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

// Calls visit(name, attributes) for every entry of the folder but "." and ".."; stops at the
// first visit that returns an error. Returns 0 or the system's error.
int ForEachEntry(const std::string& folder,
                 const std::function<int(const std::string&, DWORD)>& visit) {
    WIN32_FIND_DATAW data{};
    const HANDLE find =
        FindFirstFileExW(WidePathFromUtf8(JoinPath(folder, "*")).c_str(), FindExInfoBasic, &data,
                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return LastError();
    int error = 0;
    do {
        const std::wstring_view name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        error = visit(Utf8FromWide(name), data.dwFileAttributes);
    } while (error == 0 && FindNextFileW(find, &data));
    if (error == 0 && GetLastError() != ERROR_NO_MORE_FILES) error = LastError();
    FindClose(find);
    return error;
}

// A junction or symbolic link is removed as a link: its target is never entered.
int RemoveLink(const std::string& path, DWORD attributes) {
    const std::wstring wide = WidePathFromUtf8(path);
    const BOOL ok =
        IsFolder(attributes) ? RemoveDirectoryW(wide.c_str()) : DeleteFileW(wide.c_str());
    return ok ? 0 : LastError();
}

int RemoveTree(const std::string& folder) {
    const int error = ForEachEntry(folder, [&](const std::string& name, DWORD attributes) {
        const std::string child = JoinPath(folder, name);
        if (IsLink(attributes)) return RemoveLink(child, attributes);
        if (IsFolder(attributes)) return RemoveTree(child);
        return DeleteFileW(WidePathFromUtf8(child).c_str()) ? 0 : LastError();
    });
    if (error != 0) return error;
    return RemoveDirectoryW(WidePathFromUtf8(folder).c_str()) ? 0 : LastError();
}

// The first thing inside the folder (or the folder itself) that this user may not write;
// links are not entered.
std::string FindWriteProtected(const std::string& folder) {
    if (!MayWrite(folder)) return folder;
    std::string found;
    const int error = ForEachEntry(folder, [&](const std::string& name, DWORD attributes) {
        const std::string child = JoinPath(folder, name);
        if (IsLink(attributes)) return 0;
        found = IsFolder(attributes) ? FindWriteProtected(child) : (MayWrite(child) ? "" : child);
        return found.empty() ? 0 : -1;
    });
    if (error != 0 && found.empty()) ThrowFailure(kCannotExamineFolder, folder, error);
    return found;
}

// The path the folder is moved to before it is deleted, beside it (AsideName). Empty for a
// path of one name.
std::string AsidePath(const std::string& path) {
    const auto parts = SplitAtLastSeparator(path);
    if (!parts) return {};
    return JoinPath(parts->first, AsideName(parts->second));
}

}  // namespace

bool FileSystemObject::FolderExists(const std::string& path) {
    const DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && IsFolder(attributes);
}

bool FileSystemObject::IsFolderLink(const std::string& path) {
    const DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && IsLink(attributes);
}

std::vector<std::string> FileSystemObject::ListPlainFiles(const std::string& path) {
    std::vector<std::string> names;
    const int error = ForEachEntry(path, [&](const std::string& name, DWORD attributes) {
        if (!IsFolder(attributes)) names.push_back(name);
        return 0;
    });
    if (error != 0) ThrowFailure(kCannotListFolder, path, error);
    return names;
}

// Removes the folders that interrupted deletions of this folder left beside it, so that old
// pages do not pile up next to the output folders. Best effort: one that another program
// holds open stays until a later deletion.
void FileSystemObject::RemoveLeftOverAsides(const std::string& path) {
    const auto parts = SplitAtLastSeparator(path);
    if (!parts) return;
    const auto& [parent, folderName] = *parts;
    std::vector<std::string> leftOvers;
    ForEachEntry(parent, [&](const std::string& name, DWORD attributes) {
        if (IsFolder(attributes) && !IsLink(attributes) && IsLeftOverAside(folderName, name))
            leftOvers.push_back(JoinPath(parent, name));
        return 0;
    });
    for (const auto& leftOver : leftOvers) RemoveTree(leftOver);
}

std::string FileSystemObject::MoveFolderAside(const std::string& path) {
    const DWORD attributes = Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) ThrowFailure(kFolderNotFound, path, LastError());
    if (IsLink(attributes)) {
        // A link standing in for the folder: remove the link, never what it points to.
        if (const int error = RemoveLink(path, attributes))
            ThrowFailure(kCannotDeleteFolder, path, error);
        return {};
    }
    if (!IsFolder(attributes)) ThrowFailure(kNotAFolder, path, ERROR_DIRECTORY);
    const std::string blocked = FindWriteProtected(path);
    if (!blocked.empty()) ThrowFailure(kDeletionWriteProtected, blocked, ERROR_ACCESS_DENIED);

    // A folder that another program (a File Explorer window) holds open stays "delete
    // pending" after its removal, and a folder of the same name cannot be made until that
    // program lets go. Moved aside first, it leaves its name free at once. A folder that
    // cannot be moved (a file inside open without delete sharing) is refused with the
    // system's reason before anything is removed: removed in place, it would lose the old
    // pages up to the held one and fail there all the same.
    const std::string aside = AsidePath(path);
    if (aside.empty()) {
        if (const int error = RemoveTree(path)) ThrowFailure(kCannotDeleteFolder, path, error);
        return {};
    }
    if (!MoveFileExW(WidePathFromUtf8(path).c_str(), WidePathFromUtf8(aside).c_str(), 0))
        ThrowFailure(kCannotMoveAside, path, LastError());
    return aside;
}

// What stays aside is removed by a later deletion of path (RemoveLeftOverAsides): it never
// goes back under path's name, which by now the new folder may take at any moment.
void FileSystemObject::DeleteMovedAside(const std::string& aside, const std::string&) {
    if (const int error = RemoveTree(aside)) ThrowFailure(kCannotDeleteFolder, aside, error);
}

void FileSystemObject::CreateFolder(const std::string& path) {
    if (!CreateDirectoryW(WidePathFromUtf8(path).c_str(), nullptr))
        ThrowFailure(kCannotCreateFolder, path, LastError());
}

}  // namespace vb::platform
