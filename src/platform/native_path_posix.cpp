#include "platform/native_path.h"

namespace vb::platform {

namespace fs = std::filesystem;

std::string LexicalFullPath(const std::string& path) {
    if (path.empty()) return path;
    std::error_code ec;
    fs::path full = fs::absolute(PathFromUtf8(path), ec).lexically_normal();
    // "a/b/" names the folder "a/b"; only the root keeps its separator.
    if (!full.has_filename() && full.has_relative_path()) full = full.parent_path();
    return Utf8FromPath(full);
}

bool SameNameOnThisSystem(std::string_view a, std::string_view b) { return a == b; }

std::string NameAsThisSystemCompares(std::string_view name) { return std::string(name); }

}  // namespace vb::platform
