#include "platform/save/save_temp.h"

#include <string_view>

#include "platform/folder_steps.h"
#include "platform/leftover_name.h"
#include "platform/program_folder.h"

namespace vb::platform {

namespace {

// The temporary names of saves of the file named base: hidden on POSIX by their leading dot,
// told apart on Windows by the ending the system's tools take for a temporary file.
LeftoverForm TempForm(const std::string& base) {
#ifdef _WIN32
    return {base + ".", "vbsave-", ".tmp"};
#else
    return {"." + base + ".", "vbsave-", ""};
#endif
}

}  // namespace

std::string TempNameFor(const std::string& target) {
    if (const auto parts = SplitAtLastSeparator(target))
        return JoinPath(parts->first, NewLeftoverName(TempForm(parts->second)));
    return NewLeftoverName(TempForm(target));
}

void RemoveLeftoverTemps(const std::string& target) {
    const auto parts = SplitAtLastSeparator(target);
    const std::string folder = parts ? parts->first : ".";
    const LeftoverForm form = TempForm(parts ? parts->second : target);
    SweepLeftovers(
        folder, LeftoverKind::PlainFile,
        [&](std::string_view name) { return IsLeftover(form, name); },
        [](const std::string& leftover) { folder_steps::RemoveFile(leftover); });
}

}  // namespace vb::platform
