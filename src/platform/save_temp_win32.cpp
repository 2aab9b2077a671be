#include <windows.h>

#include <atomic>
#include <string_view>
#include <vector>

#include "platform/native_path.h"
#include "platform/program_folder.h"
#include "platform/save_temp.h"
#include "platform/wide_text.h"

namespace vb::platform {

namespace {

constexpr std::string_view kSuffix = ".tmp";

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// The process id in a name of the form base + "." + id + "-" + counter + "-" + clock + ".tmp"
// (three decimal numbers), or 0 when the name has another form.
DWORD OwnerOf(std::string_view name, const std::string& base) {
    const std::string prefix = base + ".";
    if (!name.starts_with(prefix) || !name.ends_with(kSuffix)) return 0;
    if (name.size() < prefix.size() + kSuffix.size()) return 0;
    std::string_view numbers = name.substr(prefix.size());
    numbers.remove_suffix(kSuffix.size());
    const std::size_t first = numbers.find('-');
    if (first == numbers.npos) return 0;
    const std::size_t second = numbers.find('-', first + 1);
    if (second == numbers.npos) return 0;
    const std::string_view id = numbers.substr(0, first);
    if (!AllDigits(id) || id.size() > 10 ||
        !AllDigits(numbers.substr(first + 1, second - first - 1)) ||
        !AllDigits(numbers.substr(second + 1)))
        return 0;
    const unsigned long long pid = std::stoull(std::string(id));
    return pid <= MAXDWORD ? static_cast<DWORD>(pid) : 0;
}

// A process that cannot be opened for lack of rights runs all the same; one that has ended
// but is still held open by someone is gone.
bool IsRunning(DWORD pid) {
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!process) return GetLastError() != ERROR_INVALID_PARAMETER;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

}  // namespace

// The process, a counter (two saves in one process) and the clock.
std::string TempNameFor(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    return target + "." + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter) +
           "-" + std::to_string(GetTickCount64()) + std::string(kSuffix);
}

void RemoveLeftoverTemps(const std::string& target) {
    const std::size_t slash = target.find_last_of("\\/");
    if (slash == std::string::npos) return;  // the save made the target absolute
    const std::string folder = target.substr(0, slash), base = target.substr(slash + 1);
    WIN32_FIND_DATAW found;
    const HANDLE search =
        FindFirstFileExW(WidePathFromUtf8(JoinPath(folder, base + ".*")).c_str(), FindExInfoBasic,
                         &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return;
    std::vector<std::string> leftovers;
    do {
        constexpr DWORD kNotPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
        const std::string name = Utf8FromWide(found.cFileName);
        const DWORD owner = OwnerOf(name, base);
        if (owner != 0 && !(found.dwFileAttributes & kNotPlain) && !IsRunning(owner))
            leftovers.push_back(JoinPath(folder, name));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    for (const std::string& leftover : leftovers) DeleteFileW(WidePathFromUtf8(leftover).c_str());
}

}  // namespace vb::platform
