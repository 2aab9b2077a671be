#include <filesystem>

#include "platform/app_title.h"
#include "platform/native_path.h"
#include "platform/program_folder.h"

namespace vb::platform {

std::string ExecutablePath() {
    std::error_code ec;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) return Utf8FromPath(path);
    return Utf8FromPath(std::filesystem::current_path(ec) / kProgramName);
}

char PathSeparator() { return '/'; }

}  // namespace vb::platform
