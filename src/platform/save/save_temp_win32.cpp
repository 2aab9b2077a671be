#include <windows.h>

#include <atomic>
#include <climits>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/native_path.h"
#include "platform/process_check.h"
#include "platform/program_folder.h"
#include "platform/save/save_temp.h"
#include "platform/wide_text.h"

namespace vb::platform {

namespace {

constexpr std::string_view kSuffix = ".tmp";

// The process id in a name of exactly the form base + "." + marker + this machine's tag + "-" +
// id + "-" + counter + "-" + clock + ".tmp" (three decimal numbers as TempNameFor writes
// them), or 0 for any other name.
DWORD OwnerOf(std::string_view name, const std::string& base) {
    if (!name.ends_with(kSuffix)) return 0;
    name.remove_suffix(kSuffix.size());
    std::optional<std::string_view> rest = save_temp::AfterOwnMarker(name, base + ".");
    if (!rest) return 0;
    const std::optional<std::uint64_t> pid = save_temp::TakeNumber(*rest, '-', MAXDWORD);
    const bool counter = pid && save_temp::TakeNumber(*rest, '-', UINT_MAX);
    const bool clock = counter && save_temp::TakeNumber(*rest, '\0', UINT64_MAX);
    return clock && rest->empty() ? static_cast<DWORD>(*pid) : 0;
}

}  // namespace

// The machine's name: two computers of one network never share it.
std::string save_temp::MachineIdentity() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &size) ? Utf8FromWide(std::wstring(name, size)) : std::string();
}

// The machine, the process, a counter (two saves in one process) and the clock.
std::string TempNameFor(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    return target + "." + std::string(save_temp::kMarker) + ThisMachineTag() + "-" +
           std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter) + "-" +
           std::to_string(GetTickCount64()) + std::string(kSuffix);
}

void RemoveLeftoverTemps(const std::string& target) {
    const auto parts = SplitAtLastSeparator(target);
    if (!parts) return;  // the save made the target absolute
    const auto& [folder, base] = *parts;
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
        if (owner != 0 && !(found.dwFileAttributes & kNotPlain) && ProcessIsGone(owner))
            leftovers.push_back(JoinPath(folder, name));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    for (const std::string& leftover : leftovers) DeleteFileW(WidePathFromUtf8(leftover).c_str());
}

}  // namespace vb::platform
