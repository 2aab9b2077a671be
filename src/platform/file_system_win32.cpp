#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/decimal.h"
#include "platform/file_system.h"
#include "platform/native_path.h"
#include "platform/own_name.h"
#include "platform/process_check.h"
#include "platform/program_folder.h"
#include "platform/save_temp.h"
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
    if (error != 0 && found.empty()) ThrowFailure("フォルダを調べられません。", folder, error);
    return found;
}

// What a folder moved out of the way before its deletion is: the process and the moment, so
// that two deletions never pick one name, and this machine, so that a folder shared with
// another machine never takes that machine's process for one of its own.
constexpr std::string_view kAsideKind = "deleting-";

// The path the folder is moved to before it is deleted, beside it: an own name of the
// folder's name (OwnName), which no server's folder can take. Empty for a path of one name.
std::string AsidePath(const std::string& path) {
    const std::size_t cut = path.find_last_of("\\/");
    if (cut == std::string::npos) return {};
    const std::string kind = std::string(kAsideKind) + ThisMachineTag() + "-" +
                             std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(GetTickCount64());
    return JoinPath(path.substr(0, cut), OwnName(path.substr(cut + 1), kind));
}

// True for a name that AsideName gave the folder named folderName on this machine, in a
// process that has surely ended: a deletion ended before it was done (the program was
// killed, the machine went down). A name of any other form, of another machine, or of a
// process that runs or cannot be asked about stays.
bool IsLeftOverAside(const std::string& folderName, const std::string& name) {
    const std::optional<std::string> kind = OwnNameKind(name, folderName);
    if (!kind) return false;
    const std::string own = std::string(kAsideKind) + ThisMachineTag() + "-";
    std::string_view rest = *kind;
    if (!rest.starts_with(own)) return false;
    rest.remove_prefix(own.size());
    const std::optional<std::uint64_t> process = save_temp::TakeNumber(rest, '-', MAXDWORD);
    const bool tick = process && save_temp::TakeNumber(rest, '\0', UINT64_MAX);
    return tick && rest.empty() && ProcessIsGone(*process);
}

// Removes the folders that interrupted deletions of this folder left beside it, so that old
// pages do not pile up next to the output folders. Best effort: one that another program
// holds open stays until a later deletion.
void RemoveLeftOverAsides(const std::string& path) {
    const std::size_t cut = path.find_last_of("\\/");
    if (cut == std::string::npos) return;
    const std::string parent = path.substr(0, cut), folderName = path.substr(cut + 1);
    std::vector<std::string> leftOvers;
    ForEachEntry(parent, [&](const std::string& name, DWORD attributes) {
        if (IsFolder(attributes) && !IsLink(attributes) && IsLeftOverAside(folderName, name))
            leftOvers.push_back(JoinPath(parent, name));
        return 0;
    });
    for (const auto& leftOver : leftOvers) RemoveTree(leftOver);
}

}  // namespace

bool FileSystemObject::FolderExists(const std::string& path) {
    const DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && IsFolder(attributes);
}

std::vector<std::string> FileSystemObject::ListPlainFiles(const std::string& path) {
    std::vector<std::string> names;
    const int error = ForEachEntry(path, [&](const std::string& name, DWORD attributes) {
        if (!IsFolder(attributes)) names.push_back(name);
        return 0;
    });
    if (error != 0) ThrowFailure("フォルダの中を読めません。", path, error);
    return names;
}

void FileSystemObject::DeleteFolder(const std::string& path) {
    const DWORD attributes = Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        ThrowFailure("フォルダが見つかりません。", path, LastError());
    if (IsLink(attributes)) {
        // A link standing in for the folder: remove the link, never what it points to.
        if (const int error = RemoveLink(path, attributes))
            ThrowFailure(kCannotDeleteFolder, path, error);
        return;
    }
    if (!IsFolder(attributes)) ThrowFailure("フォルダではありません。", path, ERROR_DIRECTORY);
    const std::string blocked = FindWriteProtected(path);
    if (!blocked.empty()) ThrowFailure(kDeletionWriteProtected, blocked, ERROR_ACCESS_DENIED);

    // A folder that another program (a File Explorer window) holds open stays "delete
    // pending" after its removal, and a folder of the same name cannot be made until that
    // program lets go. Moved aside first, it leaves its name free at once. A folder that
    // cannot be moved (a file inside is open) is removed where it is, which then reports why.
    // A run ended while removing the moved folder leaves it beside the folder under its aside
    // name; a later deletion of the folder removes it once that run's process has ended, on
    // the machine that made it (IsLeftOverAside).
    RemoveLeftOverAsides(path);
    const std::string aside = AsidePath(path);
    const bool moved = !aside.empty() && MoveFileExW(WidePathFromUtf8(path).c_str(),
                                                     WidePathFromUtf8(aside).c_str(), 0);
    const int error = RemoveTree(moved ? aside : path);
    if (error == 0) return;
    if (moved) MoveFileExW(WidePathFromUtf8(aside).c_str(), WidePathFromUtf8(path).c_str(), 0);
    ThrowFailure(kCannotDeleteFolder, path, error);
}

void FileSystemObject::CreateFolder(const std::string& path) {
    if (!CreateDirectoryW(WidePathFromUtf8(path).c_str(), nullptr))
        ThrowFailure("フォルダを作成できません。", path, LastError());
}

}  // namespace vb::platform
