#include "platform/native_path.h"

namespace vb::platform {

namespace fs = std::filesystem;

fs::path PathFromUtf8(std::string_view utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8FromPath(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

bool IsSameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return fs::equivalent(PathFromUtf8(a), PathFromUtf8(b), error);
}

bool LiesInFolder(const std::string& file, const std::string& folder) {
    std::error_code error;
    const fs::path root = PathFromUtf8(folder);
    if (!fs::is_directory(root, error)) return false;
    // Links and ".." resolved first, since a folder reached through them is not the one it
    // is named under; then each folder above the file is compared as the system identifies it
    // (device and file number), so that no spelling of either path hides that they meet.
    fs::path above = fs::weakly_canonical(PathFromUtf8(file), error).parent_path();
    for (; !error && above.has_relative_path(); above = above.parent_path())
        if (fs::equivalent(above, root, error)) return true;
    return false;
}

}  // namespace vb::platform
