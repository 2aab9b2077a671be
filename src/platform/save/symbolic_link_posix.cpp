#include <filesystem>

#include "platform/native_path.h"
#include "platform/save/symbolic_link.h"

namespace vb::platform {

namespace fs = std::filesystem;

std::string ResolveLinks(const std::string& path) {
    constexpr int kMaxLinks = 40;  // the system's own limit for a chain of links
    fs::path current = PathFromUtf8(path);
    for (int i = 0; i < kMaxLinks; ++i) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(current, ec)) || ec) break;
        const fs::path target = fs::read_symlink(current, ec);
        if (ec) break;
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return Utf8FromPath(current);
}

}  // namespace vb::platform
