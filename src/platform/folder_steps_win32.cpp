#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/folder_steps.h"
#include "platform/native_path.h"
#include "platform/program_folder.h"
#include "platform/system_error.h"
#include "platform/wide_text.h"
#include "platform/writability.h"

namespace vb::platform::folder_steps {

namespace {

int LastError() { return static_cast<int>(GetLastError()); }

DWORD Attributes(const std::string& path) {
    return GetFileAttributesW(WidePathFromUtf8(path).c_str());
}

bool IsLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
bool IsFolder(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

Kind KindOf(DWORD attributes) {
    if (IsLink(attributes)) return Kind::Link;
    return IsFolder(attributes) ? Kind::Folder : Kind::File;
}

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
int RemoveLinkOf(const std::string& path, DWORD attributes) {
    const std::wstring wide = WidePathFromUtf8(path);
    const BOOL ok =
        IsFolder(attributes) ? RemoveDirectoryW(wide.c_str()) : DeleteFileW(wide.c_str());
    return ok ? 0 : LastError();
}

}  // namespace

int RemoveTree(const std::string& folder) {
    const int error = ForEachEntry(folder, [&](const std::string& name, DWORD attributes) {
        const std::string child = JoinPath(folder, name);
        if (IsLink(attributes)) return RemoveLinkOf(child, attributes);
        if (IsFolder(attributes)) return RemoveTree(child);
        return DeleteFileW(WidePathFromUtf8(child).c_str()) ? 0 : LastError();
    });
    if (error != 0) return error;
    return RemoveDirectoryW(WidePathFromUtf8(folder).c_str()) ? 0 : LastError();
}

// Links are not entered.
Blocked FindBlocked(const std::string& folder) {
    if (!MayWrite(folder)) return {folder, kDeletionWriteProtected, ERROR_ACCESS_DENIED};
    Blocked found;
    const int error = ForEachEntry(folder, [&](const std::string& name, DWORD attributes) {
        if (IsLink(attributes)) return 0;
        const std::string child = JoinPath(folder, name);
        if (IsFolder(attributes))
            found = FindBlocked(child);
        else if (!MayWrite(child))
            found = {child, kDeletionWriteProtected, ERROR_ACCESS_DENIED};
        return found.path.empty() ? 0 : -1;  // -1: the first one found ends the look
    });
    if (error != 0 && found.path.empty()) return {folder, kCannotExamineFolder, error};
    return found;
}

// A folder that another program (a File Explorer window) holds open stays "delete pending"
// after its removal, and a folder of the same name cannot be made until that program lets go;
// moved, it leaves its name free at once. Without MOVEFILE_REPLACE_EXISTING the move never
// replaces anything.
int MoveWithoutReplacing(const std::string& from, const std::string& to) {
    return MoveFileExW(WidePathFromUtf8(from).c_str(), WidePathFromUtf8(to).c_str(), 0)
               ? 0
               : LastError();
}

bool IsNameTooLong(int error) { return error == ERROR_FILENAME_EXCED_RANGE; }

int RemoveFile(const std::string& path) {
    return DeleteFileW(WidePathFromUtf8(path).c_str()) ? 0 : LastError();
}

int RemoveLink(const std::string& path) {
    const DWORD attributes = Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return LastError();
    return RemoveLinkOf(path, attributes);
}

Look LookAt(const std::string& path) {
    const DWORD attributes = Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return {Kind::Missing, LastError()};
    return {KindOf(attributes)};
}

int ListPlainFiles(const std::string& folder, std::vector<std::string>& names) {
    names.clear();
    return ForEachEntry(folder, [&](const std::string& name, DWORD attributes) {
        if (!IsFolder(attributes)) names.push_back(name);
        return 0;
    });
}

std::vector<Entry> ListEntries(const std::string& folder) {
    std::vector<Entry> entries;
    ForEachEntry(folder, [&](const std::string& name, DWORD attributes) {
        entries.push_back({name, KindOf(attributes)});
        return 0;
    });
    return entries;
}

}  // namespace vb::platform::folder_steps
