#pragma once

#include <stdexcept>
#include <string>

namespace vb::platform {

// A failure of a platform operation: the text is the description shown to the user, naming
// the file or folder involved and the operating system's reason.
class SystemError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Error numbers are the system's own: errno on Linux, GetLastError() on Windows. 0 is none.
int LastOsError();

// The system's description of an error number (strerror / FormatMessageW), in UTF-8.
std::string DescribeOsError(int code);

// "<what>" + line break + path + line break + the system's reason, as shown in failure
// reports; without the reason when code is 0.
std::string DescribeFailure(const std::string& what, const std::string& path, int code);

// What a failed write of a file says, whether the write or a later close failed.
inline constexpr const char* kCannotWrite = "ファイルを書き込めません。";
// What a file that cannot be opened for reading says.
inline constexpr const char* kCannotOpen = "ファイルを開けません。";
// What the folder operations say of a folder that is missing, is no folder, cannot be made,
// cannot be looked through or cannot be listed.
inline constexpr const char* kFolderNotFound = "フォルダが見つかりません。";
inline constexpr const char* kNotAFolder = "フォルダではありません。";
inline constexpr const char* kCannotCreateFolder = "フォルダを作成できません。";
inline constexpr const char* kCannotExamineFolder = "フォルダを調べられません。";
inline constexpr const char* kCannotListFolder = "フォルダの中を読めません。";
// What a folder that cannot be deleted says: a step of the deletion failed, or the folder
// holds content this user may not write (the deletion then removes nothing).
inline constexpr const char* kCannotDeleteFolder = "フォルダを削除できません。";
inline constexpr const char* kDeletionWriteProtected = "書き込み禁止のため削除できません。";
// A folder holding a mount point (another file system, a bind mount, a mounted volume):
// nothing is deleted, since the deletion would empty what is mounted there.
inline constexpr const char* kDeletionMountInside =
    "別のドライブやファイルシステムがつながっているため削除できません。";
// A folder that cannot be moved aside (its parent write-protected, the folder itself a mount
// point): nothing is deleted.
inline constexpr const char* kCannotMoveAside = "フォルダを移動できないため削除できません。";

// [[noreturn]] helper: throws SystemError(DescribeFailure(...)).
[[noreturn]] void ThrowFailure(const std::string& what, const std::string& path, int code);

// True for the errors that mean nothing is at the path (a missing file or folder on the way).
bool IsNotFoundError(int code);

// The system's numbers for the failures the program names itself.
namespace os_error {
extern const int kNotFound;       // no such file or folder
extern const int kAccessDenied;   // no permission
extern const int kAlreadyExists;  // something of that name exists
extern const int kNotAFolder;     // a file where a folder is needed
extern const int kIsAFolder;      // a folder where a file is needed
extern const int kNotAPlainFile;  // a device, pipe or other special file
extern const int kInterrupted;    // a retryable interruption (EINTR; none on Windows)
extern const int kOutOfMemory;    // not enough memory for what was asked
extern const int kBusy;           // in use by the system (a mount point)
}  // namespace os_error

}  // namespace vb::platform
