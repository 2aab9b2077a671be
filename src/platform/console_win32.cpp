#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/console.h"
#include "platform/wide_text.h"

namespace vb::platform {

namespace {

HANDLE Handle(ConsoleStream stream) {
    return GetStdHandle(stream == ConsoleStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

bool IsConsole(HANDLE h) {
    DWORD mode = 0;
    return GetConsoleMode(h, &mode) != 0;
}

// The system's error, or 0; a reader that went away (a closed pipe) is no error.
int WriteFailure() {
    const DWORD error = GetLastError();
    return error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA ? 0 : static_cast<int>(error);
}

int WriteBytes(HANDLE h, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
        if (!WriteFile(h, bytes.data(), chunk, &written, nullptr)) return WriteFailure();
        if (written == 0) return ERROR_DISK_FULL;
        bytes.remove_prefix(written);
    }
    return 0;
}

}  // namespace

int WriteToConsole(ConsoleStream stream, std::string_view utf8) {
    const HANDLE h = Handle(stream);
    if (h == nullptr || h == INVALID_HANDLE_VALUE) return 0;
    if (IsConsole(h)) {
        const std::wstring wide = WideFromUtf8(utf8);
        std::wstring_view rest = wide;
        while (!rest.empty()) {
            DWORD written = 0;
            DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(rest.size(), 8192));
            if (chunk < rest.size() && IS_HIGH_SURROGATE(rest[chunk - 1])) --chunk;  // whole pairs
            if (!WriteConsoleW(h, rest.data(), chunk, &written, nullptr) || written == 0)
                return 0;  // a console closed meanwhile
            rest.remove_prefix(written);
        }
        return 0;
    }
    std::string bytes;
    bytes.reserve(utf8.size() + utf8.size() / 16);
    for (const char c : utf8) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
    return WriteBytes(h, bytes);
}

bool IsTerminal(ConsoleStream stream) {
    const HANDLE h = Handle(stream);
    return h != nullptr && h != INVALID_HANDLE_VALUE && IsConsole(h);
}

}  // namespace vb::platform
