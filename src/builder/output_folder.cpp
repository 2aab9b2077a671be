#include "builder/output_folder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/program_folder.h"

namespace vb::builder {

namespace fs = std::filesystem;

namespace {

fs::path PathFromUtf8(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

// The path with links and dot steps resolved where it exists, made absolute.
fs::path Resolved(const std::string& text) {
    std::error_code ec;
    fs::path path = fs::weakly_canonical(fs::absolute(PathFromUtf8(text), ec), ec);
    if (ec) path = fs::absolute(PathFromUtf8(text), ec).lexically_normal();
    // "a/b/" and "a/b" name the same folder.
    if (!path.has_filename() && path.has_parent_path() && path != path.root_path())
        path = path.parent_path();
    return path;
}

}  // namespace

std::string OutputFolderPath(const std::string& serverName) {
    return platform::JoinPath(platform::JoinPath(platform::ProgramFolder(), "local"), serverName);
}

bool IsSameOrInside(const std::string& path, const std::string& folder) {
    const fs::path inner = Resolved(path);
    const fs::path outer = Resolved(folder);
    const auto depth = std::distance(outer.begin(), outer.end());
    if (std::distance(inner.begin(), inner.end()) < depth) return false;
    return std::equal(outer.begin(), outer.end(), inner.begin());
}

}  // namespace vb::builder
