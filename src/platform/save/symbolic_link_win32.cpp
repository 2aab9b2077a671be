#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <string_view>

#include "platform/native_path.h"
#include "platform/program_folder.h"
#include "platform/save/symbolic_link.h"
#include "platform/wide_text.h"

namespace vb::platform {

namespace {

// REPARSE_DATA_BUFFER for a symbolic link (winnt.h leaves it to the driver kit): the tag,
// the data's length and a reserved word, then the substitute name's offset and length, the
// print name's offset and length (bytes, counted from the names' buffer), the flags, and
// the names' buffer.
constexpr std::size_t kTagAt = 0, kSubstituteAt = 8, kFlagsAt = 16, kNamesAt = 20;
constexpr unsigned long kRelativeLink = 1;  // SYMLINK_FLAG_RELATIVE

template <typename T>
T ReadAt(std::string_view data, std::size_t at) {
    T value{};
    std::memcpy(&value, data.data() + at, sizeof value);
    return value;
}

// The Win32 form of an NT path from a link: "\??\C:\x" is "C:\x", "\??\UNC\host\share" is
// "\\host\share", anything else under "\??\" (a volume's name) keeps its "\\?\" form.
std::wstring Win32FromNtPath(std::wstring name) {
    constexpr std::wstring_view kNt = L"\\??\\", kUnc = L"UNC\\";
    if (!name.starts_with(kNt)) return name;
    name.erase(0, kNt.size());
    if (name.starts_with(kUnc)) return L"\\\\" + name.substr(kUnc.size());
    const bool drive = name.size() >= 2 && name[1] == L':';
    return drive ? name : L"\\\\?\\" + name;
}

// The drive or share a full path lies on, without a closing separator: "C:" for "C:\\a\\b",
// "\\\\host\\share" for "\\\\host\\share\\a", and the same behind "\\\\?\\" and "\\\\?\\UNC\\".
std::string RootOf(const std::string& path) {
    constexpr std::string_view kLong = "\\\\?\\", kLongUnc = "\\\\?\\UNC\\";
    std::size_t at = 0;  // where the drive letter or the host starts
    bool share = false;
    if (path.starts_with(kLongUnc)) {
        at = kLongUnc.size();
        share = true;
    } else if (path.starts_with(kLong)) {
        at = kLong.size();
    } else if (path.starts_with("\\\\")) {
        at = 2;
        share = true;
    }
    if (!share) return path.substr(0, at + 2);
    // The host, then the share.
    const std::size_t host = path.find('\\', at);
    const std::size_t end = host == std::string::npos ? host : path.find('\\', host + 1);
    return path.substr(0, end);
}

// The reparse data of a path that is a reparse point itself, or nothing.
std::optional<std::string> ReparseDataOf(const std::string& path) {
    const std::wstring wide = WidePathFromUtf8(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return std::nullopt;
    const HANDLE h = CreateFileW(
        wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string data(MAXIMUM_REPARSE_DATA_BUFFER_SIZE, '\0');
    DWORD got = 0;
    const BOOL ok = DeviceIoControl(h, FSCTL_GET_REPARSE_POINT, nullptr, 0, data.data(),
                                    static_cast<DWORD>(data.size()), &got, nullptr);
    CloseHandle(h);
    if (!ok) return std::nullopt;
    data.resize(got);
    return data;
}

}  // namespace

std::optional<std::string> LinkTargetFromReparseData(const std::string& link,
                                                     std::string_view data) {
    if (data.size() < kNamesAt || ReadAt<DWORD>(data, kTagAt) != IO_REPARSE_TAG_SYMLINK)
        return std::nullopt;
    const std::size_t offset = ReadAt<USHORT>(data, kSubstituteAt);
    const std::size_t length = ReadAt<USHORT>(data, kSubstituteAt + 2);
    if (length == 0 || length % 2 != 0 || kNamesAt + offset + length > data.size())
        return std::nullopt;
    std::wstring name(length / 2, L'\0');
    std::memcpy(name.data(), data.data() + kNamesAt + offset, length);
    if (!(ReadAt<ULONG>(data, kFlagsAt) & kRelativeLink))
        return Utf8FromWide(Win32FromNtPath(std::move(name)));
    const std::string relative = Utf8FromWide(name);
    // "\conf\x.ini" starts at the root of the link's own drive or share; "D:conf\x.ini" at
    // that drive's root, as the link cannot know a current folder; anything else beside the
    // link.
    const bool fromRoot = relative.starts_with('\\') || relative.starts_with('/');
    const bool onDrive = relative.size() >= 2 && relative[1] == ':';
    if (onDrive) return LexicalFullPath(relative.substr(0, 2) + "\\" + relative.substr(2));
    const std::string fullLink = LexicalFullPath(link);
    if (fromRoot) return LexicalFullPath(RootOf(fullLink) + relative);
    const auto parts = SplitAtLastSeparator(fullLink);
    return LexicalFullPath((parts ? parts->first : fullLink) + "\\" + relative);
}

std::string ResolveLinks(const std::string& path) {
    constexpr int kMaxLinks = 63;  // the system's own limit for a chain of links
    std::string current = LexicalFullPath(path);
    for (int i = 0; i < kMaxLinks; ++i) {
        const std::optional<std::string> data = ReparseDataOf(current);
        const std::optional<std::string> target =
            data ? LinkTargetFromReparseData(current, *data) : std::nullopt;
        if (!target) break;
        current = *target;
    }
    return current;
}

}  // namespace vb::platform
