#include "builder/output_folder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/native_path.h"
#include "platform/own_name.h"
#include "platform/program_folder.h"

namespace vb::builder {

namespace fs = std::filesystem;

namespace {

// The path with links and dot steps resolved where it exists, made absolute.
fs::path Resolved(const std::string& text) {
    std::error_code ec;
    fs::path path = fs::weakly_canonical(fs::absolute(platform::PathFromUtf8(text), ec), ec);
    if (ec) path = fs::absolute(platform::PathFromUtf8(text), ec).lexically_normal();
    // "a/b/" and "a/b" name the same folder.
    if (!path.has_filename() && path.has_parent_path() && path != path.root_path())
        path = path.parent_path();
    return path;
}

}  // namespace

std::string OutputFolderPath(const std::string& serverName) {
    return platform::JoinPath(platform::LocalFolder(), serverName);
}

std::string OutputLockName(const std::string& serverName) {
    return platform::OwnName(serverName, "lock");
}

std::string OutputLockPath(const std::string& serverName) {
    return platform::JoinPath(platform::LocalFolder(), OutputLockName(serverName));
}

void RemoveOldLockInPlaceOf(const std::string& outputFolder) {
    const fs::path path = platform::PathFromUtf8(outputFolder);
    if (!platform::Utf8FromPath(path.filename()).ends_with(".VornackBuilder-lock")) return;
    std::error_code ec;
    const bool plainFile = fs::symlink_status(path, ec).type() == fs::file_type::regular;
    if (plainFile && fs::file_size(path, ec) == 0 && !ec) fs::remove(path, ec);
}

bool IsSameOrInside(const std::string& path, const std::string& folder) {
    const fs::path inner = Resolved(path);
    const fs::path outer = Resolved(folder);
    const auto depth = std::distance(outer.begin(), outer.end());
    if (std::distance(inner.begin(), inner.end()) < depth) return false;
    // Each level compares as the file system names it: without case on Windows.
    return std::equal(outer.begin(), outer.end(), inner.begin(),
                      [](const fs::path& a, const fs::path& b) {
                          return platform::SameNameOnThisSystem(platform::Utf8FromPath(a),
                                                                platform::Utf8FromPath(b));
                      });
}

bool IsSameFolder(const std::string& a, const std::string& b) {
    return IsSameOrInside(a, b) && IsSameOrInside(b, a);
}

}  // namespace vb::builder
