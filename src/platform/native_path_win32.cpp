#include <windows.h>

#include <optional>

#include "platform/native_path.h"
#include "platform/wide_text.h"

namespace vb::platform {

namespace {

// CreateDirectoryW's limit (MAX_PATH less room for an 8.3 name); files meet MAX_PATH.
constexpr std::size_t kLongPath = MAX_PATH - 12;

bool IsAbsoluteDrivePath(std::wstring_view p) {
    return p.size() >= 3 && p[1] == L':' && (p[2] == L'\\' || p[2] == L'/');
}

bool IsUncPath(std::wstring_view p) {
    return p.size() > 2 && (p[0] == L'\\' || p[0] == L'/') && (p[1] == L'\\' || p[1] == L'/') &&
           p[2] != L'?' && p[2] != L'.';
}

// The full path the system makes of the text ("." and ".." resolved, backslashes), or
// nothing when it makes none.
std::optional<std::wstring> FullWidePath(const std::wstring& wide) {
    std::wstring full(wide.size() + MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (n == 0) return std::nullopt;
        if (n < full.size()) {
            full.resize(n);
            return full;
        }
        full.resize(n);
    }
}

}  // namespace

std::wstring LongPathForm(std::wstring_view fullPath) {
    if (fullPath.size() < kLongPath) return std::wstring(fullPath);
    if (IsAbsoluteDrivePath(fullPath)) return L"\\\\?\\" + std::wstring(fullPath);
    if (IsUncPath(fullPath)) return L"\\\\?\\UNC\\" + std::wstring(fullPath.substr(2));
    return std::wstring(fullPath);
}

std::wstring WidePathFromUtf8(std::string_view utf8) {
    std::wstring wide = WideFromUtf8(utf8);
    const bool absolute = IsAbsoluteDrivePath(wide) || IsUncPath(wide);
    if (wide.empty() || (absolute && wide.size() < kLongPath)) return wide;
    if (wide.rfind(L"\\\\?\\", 0) == 0) return wide;
    const auto full = FullWidePath(wide);
    if (!full || full->size() < kLongPath) return wide;
    return LongPathForm(*full);
}

std::string LexicalFullPath(const std::string& path) {
    if (path.empty()) return path;
    auto full = FullWidePath(WideFromUtf8(path));
    if (!full) return path;
    // "a\b\" names the folder "a\b"; a drive's root keeps its separator.
    if (full->size() > 3 && full->back() == L'\\') full->pop_back();
    return Utf8FromWide(*full);
}

bool SameNameOnThisSystem(std::string_view a, std::string_view b) {
    const std::wstring wa = WideFromUtf8(a), wb = WideFromUtf8(b);
    return CompareStringOrdinal(wa.data(), static_cast<int>(wa.size()), wb.data(),
                                static_cast<int>(wb.size()), TRUE) == CSTR_EQUAL;
}

// CompareStringOrdinal without case compares the upper-case forms, one UTF-16 unit each
// (Microsoft's protocol document MS-UCODEREF, "CompareStringOrdinal Algorithm"); the
// invariant locale's upper-casing maps unit for unit, so the length stays.
std::string NameAsThisSystemCompares(std::string_view name) {
    std::wstring wide = WideFromUtf8(name);
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    std::wstring upper(wide.size(), L'\0');
    if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(), size, upper.data(), size,
                      nullptr, nullptr, 0) != size)
        return std::string(name);
    return Utf8FromWide(upper);
}

}  // namespace vb::platform
