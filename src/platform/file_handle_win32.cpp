#include <windows.h>

#include <algorithm>
#include <utility>

#include "platform/file_handle.h"
#include "platform/wide_text.h"

namespace vb::platform {

namespace {

HANDLE H(std::intptr_t native) { return reinterpret_cast<HANDLE>(native); }

// Other programs may read, write, rename or delete the file while we hold it, as they may
// while a POSIX program holds one.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

FileHandle Open(const std::string& path, DWORD access, DWORD disposition, int& error) {
    const HANDLE h = CreateFileW(WidePathFromUtf8(path).c_str(), access, kShareAll, nullptr,
                                 disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    error = h == INVALID_HANDLE_VALUE ? static_cast<int>(GetLastError()) : 0;
    return h == INVALID_HANDLE_VALUE ? FileHandle()
                                     : FileHandle::Adopt(reinterpret_cast<std::intptr_t>(h));
}

}  // namespace

FileHandle FileHandle::OpenForReading(const std::string& path, int& error) {
    const DWORD attributes = GetFileAttributesW(WidePathFromUtf8(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = ERROR_ACCESS_DENIED;
        return {};
    }
    FileHandle file = Open(path, GENERIC_READ, OPEN_EXISTING, error);
    if (file.IsOpen() && GetFileType(H(file.native_)) != FILE_TYPE_DISK) {
        error = ERROR_INVALID_FUNCTION;  // a device or pipe: reading could block
        return {};
    }
    return file;
}

FileHandle FileHandle::CreateForWriting(const std::string& path, int& error) {
    return Open(path, GENERIC_WRITE, CREATE_ALWAYS, error);
}

FileHandle FileHandle::OpenForRewriting(const std::string& path, int& error) {
    return Open(path, GENERIC_WRITE, OPEN_EXISTING, error);
}

FileHandle FileHandle::OpenForAppending(const std::string& path, bool& empty, int& error) {
    // Append access alone: every write lands at the end, whoever else writes the file.
    FileHandle file = Open(path, FILE_APPEND_DATA | SYNCHRONIZE, OPEN_ALWAYS, error);
    empty = file.IsOpen() && (GetLastError() != ERROR_ALREADY_EXISTS || file.KnownSize() == 0);
    return file;
}

// One call moves at most 1 GiB, well inside a DWORD.
constexpr std::size_t kMostPerCall = std::size_t{1} << 30;

int FileHandle::ReadSome(char* into, std::size_t room, std::size_t& done) {
    DWORD n = 0;
    if (!ReadFile(H(native_), into, static_cast<DWORD>(std::min(room, kMostPerCall)), &n, nullptr))
        return static_cast<int>(GetLastError());
    done = n;
    return 0;
}

int FileHandle::WriteSome(const char* from, std::size_t size, std::size_t& done) {
    DWORD n = 0;
    if (!WriteFile(H(native_), from, static_cast<DWORD>(std::min(size, kMostPerCall)), &n, nullptr))
        return static_cast<int>(GetLastError());
    done = n;
    return 0;
}

int FileHandle::WriteAll(std::span<const std::string_view> pieces) {
    // WriteFileGather takes whole pages of memory only: the pieces are joined for one write.
    std::size_t size = 0;
    for (const std::string_view piece : pieces) size += piece.size();
    std::string joined;
    joined.reserve(size);
    for (const std::string_view piece : pieces) joined += piece;
    return WriteAll(std::string_view(joined));
}

std::size_t FileHandle::KnownSize() const {
    LARGE_INTEGER size{};
    return GetFileSizeEx(H(native_), &size) ? static_cast<std::size_t>(size.QuadPart) : 0;
}

int FileHandle::AppendWhole(std::string_view bytes) { return WriteAll(bytes); }

int FileHandle::ReadLastByte(char& byte) {
    byte = 0;
    if (KnownSize() == 0) return 0;
    LARGE_INTEGER back{};
    back.QuadPart = -1;
    DWORD n = 0;
    if (!SetFilePointerEx(H(native_), back, nullptr, FILE_END) ||
        !ReadFile(H(native_), &byte, 1, &n, nullptr))
        return static_cast<int>(GetLastError());
    return 0;
}

int FileHandle::TruncateHere() {
    return SetEndOfFile(H(native_)) ? 0 : static_cast<int>(GetLastError());
}

int FileHandle::Flush() {
    return FlushFileBuffers(H(native_)) ? 0 : static_cast<int>(GetLastError());
}

int FileHandle::Close() {
    if (!IsOpen()) return 0;
    const HANDLE h = H(std::exchange(native_, kInvalid));
    return CloseHandle(h) ? 0 : static_cast<int>(GetLastError());
}

}  // namespace vb::platform
