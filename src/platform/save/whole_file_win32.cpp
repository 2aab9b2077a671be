#include <windows.h>

#include <string>

#include "platform/file_handle.h"
#include "platform/native_path.h"
#include "platform/save/access_list.h"
#include "platform/save/save_steps.h"
#include "platform/save/save_temp.h"
#include "platform/save/symbolic_link.h"
#include "platform/save/whole_file.h"
#include "platform/wide_text.h"
#include "platform/writability.h"

namespace vb::platform {

namespace {

int LastError() { return static_cast<int>(GetLastError()); }

// Another program (a virus scanner, an editor, the indexer) may hold the file for a moment.
constexpr int kReplaceTries = 5;
constexpr DWORD kReplacePauseMs = 100;

bool IsBusy(int error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_ACCESS_DENIED;
}

// Writes the bytes into a new file, gives it the old file's access list (when there is an
// old file: copyAccessFrom) and flushes them to the disk. created: whether the folder took
// the file at all; accessNotKept: whether the access list could not be given.
int WriteNewFile(const std::string& target, std::string& temp, const std::string& bytes,
                 const std::string* copyAccessFrom, bool& created, bool& accessNotKept) {
    // Only the old file's list needs the right to set one (an owner's, unless the folder's
    // OWNER RIGHTS entries take it away).
    const DWORD access = GENERIC_WRITE | (copyAccessFrom ? WRITE_DAC : 0);
    HANDLE h = INVALID_HANDLE_VALUE;
    if (const int err = Step("create temporary", [&] {
            // A name this process never gave can still be taken: by a leftover of an earlier
            // process of the same id. The next name is then another.
            for (int tries = 0; tries < 3; ++tries) {
                temp = TempNameFor(target);
                h = CreateFileW(WidePathFromUtf8(temp).c_str(), access, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
                if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) break;
            }
            return h == INVALID_HANDLE_VALUE ? LastError() : 0;
        }))
        return err;
    created = true;
    FileHandle file = FileHandle::Adopt(reinterpret_cast<std::intptr_t>(h));
    int err = Step("write", [&] { return file.WriteAll(bytes); });
    if (err == 0 && copyAccessFrom) {
        err = Step("copy access list", [&] { return CopyAccessList(*copyAccessFrom, file); });
        accessNotKept = err != 0;
    }
    if (err == 0) err = Step("flush", [&] { return file.Flush(); });
    if (const int closed = Step("close", [&] { return file.Close(); }); err == 0) err = closed;
    return err;
}

// Puts the finished temporary file in the target's place with one rename over it:
// MoveFileExW with MOVEFILE_REPLACE_EXISTING is a single FileRenameInformation request, which
// NTFS carries out as one step and Wine as one rename(2), so a program ended at any moment
// leaves the old file or the new one. ReplaceFileW is not used: under Wine it moves the old
// file aside, deletes it and only then moves the new one in, and a program ended by
// TerminateProcess between those steps left no settings file at all (the save-kill test
// showed it within a few kills). The rename carries over neither the old file's access list
// nor its attributes (hidden, archive, ...): WriteNewFile has given the new file the list,
// and the attributes are set here.
int PutInPlace(const std::string& temp, const std::string& target, DWORD oldAttributes) {
    const std::wstring wideTemp = WidePathFromUtf8(temp), wideTarget = WidePathFromUtf8(target);
    if (oldAttributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesW(wideTemp.c_str(), oldAttributes & ~FILE_ATTRIBUTE_READONLY);
    int err = 0;
    for (int attempt = 0; attempt < kReplaceTries; ++attempt) {
        if (attempt > 0) Sleep(kReplacePauseMs);
        err = Step("rename", [&] {
            return MoveFileExW(wideTemp.c_str(), wideTarget.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                       ? 0
                       : LastError();
        });
        if (err == 0) return 0;
        if (!IsBusy(err)) break;
    }
    return err;
}

}  // namespace

int ReplaceWholeFile(const std::string& path, const std::string& bytes) {
    // A link stays a link: the file it finally names is the one replaced.
    const std::string target = ResolveLinks(path);
    const DWORD attributes = GetFileAttributesW(WidePathFromUtf8(target).c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return ERROR_ACCESS_DENIED;
    if (exists && !MayWrite(target)) return ERROR_ACCESS_DENIED;

    std::string temp;
    bool created = false, accessNotKept = false;
    int err = WriteNewFile(target, temp, bytes, exists ? &target : nullptr, created, accessNotKept);
    if (err == 0) err = PutInPlace(temp, target, attributes);
    if (err == 0) {
        RemoveLeftoverTemps(target);
        return 0;
    }
    if (created)
        Step("remove temporary",
             [&] { return DeleteFileW(WidePathFromUtf8(temp).c_str()) ? 0 : LastError(); });
    // A folder that takes no new file, a new file that could not take the old one's access
    // list, or a file another program keeps from being swapped: rewritten where it is. A
    // failure while writing the temporary file (a full disk) is not retried in place, where
    // it would leave a torn file.
    const bool folderRefused = !created && err == ERROR_ACCESS_DENIED;
    const bool held = created && IsBusy(err);
    if (exists && (folderRefused || accessNotKept || held)) return RewriteInPlace(target, bytes);
    return err;
}

}  // namespace vb::platform
