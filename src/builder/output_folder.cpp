#include "builder/output_folder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/hex_hash.h"
#include "platform/native_path.h"
#include "platform/program_folder.h"
#include "platform/utf8.h"

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
    constexpr std::size_t kMaxName = 255;
    const std::string_view suffix = kOutputLockSuffix;
    if (serverName.size() + suffix.size() <= kMaxName) return serverName + kOutputLockSuffix;
    const std::string digits = platform::HexHash(platform::utf8::AsciiLower(serverName));
    std::size_t keep = kMaxName - suffix.size() - 1 - digits.size();
    while (keep > 0 && (static_cast<unsigned char>(serverName[keep]) & 0xC0) == 0x80) --keep;
    return serverName.substr(0, keep) + "~" + digits + kOutputLockSuffix;
}

std::string OutputLockPath(const std::string& serverName) {
    return platform::JoinPath(platform::LocalFolder(), OutputLockName(serverName));
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

}  // namespace vb::builder
