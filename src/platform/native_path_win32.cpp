#include <windows.h>

#include "platform/native_path.h"
#include "platform/wide_text.h"

namespace vb::platform {

std::string LexicalFullPath(const std::string& path) {
    if (path.empty()) return path;
    const std::wstring wide = WideFromUtf8(path);
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (n == 0) return path;
        if (n < full.size()) {
            full.resize(n);
            break;
        }
        full.resize(n);
    }
    // "a\b\" names the folder "a\b"; a drive's root keeps its separator.
    if (full.size() > 3 && full.back() == L'\\') full.pop_back();
    return Utf8FromWide(full);
}

bool SameNameOnThisSystem(std::string_view a, std::string_view b) {
    const std::wstring wa = WideFromUtf8(a), wb = WideFromUtf8(b);
    return CompareStringOrdinal(wa.data(), static_cast<int>(wa.size()), wb.data(),
                                static_cast<int>(wb.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace vb::platform
