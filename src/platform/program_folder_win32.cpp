#include <windows.h>

#include "platform/program_folder.h"
#include "platform/wide_text.h"

namespace vb::platform {

std::string ExecutablePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size()) {
            buffer.resize(n);
            return Utf8FromWide(buffer);
        }
        buffer.resize(buffer.size() * 2);  // the path was cut to the buffer
    }
}

char PathSeparator() { return '\\'; }

}  // namespace vb::platform
