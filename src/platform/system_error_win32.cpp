#include <windows.h>

#include "platform/system_error.h"
#include "platform/wide_text.h"

namespace vb::platform {

int LastOsError() { return static_cast<int>(GetLastError()); }

std::string DescribeOsError(int code) {
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = n ? std::wstring(buffer, n) : std::wstring();
    if (buffer) LocalFree(buffer);
    // The system's texts end in a line break, which the report adds itself.
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    if (text.empty()) return "Windows error " + std::to_string(code);
    return Utf8FromWide(text);
}

bool IsNotFoundError(int code) {
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ||
           code == ERROR_INVALID_NAME;
}

namespace os_error {
const int kNotFound = ERROR_FILE_NOT_FOUND;
const int kAccessDenied = ERROR_ACCESS_DENIED;
const int kAlreadyExists = ERROR_ALREADY_EXISTS;
const int kNotAFolder = ERROR_DIRECTORY;
const int kIsAFolder = ERROR_ACCESS_DENIED;  // what the system says for a folder opened as a file
const int kNotAPlainFile = ERROR_INVALID_FUNCTION;
const int kInterrupted = -1;  // never returned by a Windows call
const int kOutOfMemory = ERROR_NOT_ENOUGH_MEMORY;
const int kBusy = ERROR_BUSY;
}  // namespace os_error

}  // namespace vb::platform
