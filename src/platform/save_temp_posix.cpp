#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <filesystem>
#include <string_view>
#include <vector>

#include "platform/native_path.h"
#include "platform/save_temp.h"

namespace vb::platform {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kRandomPart = "XXXXXX";  // mkostemp's letters and digits

bool IsAsciiAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The process id in a name of the form "." + base + "." + id + "." + six letters or digits,
// or 0 when the name has another form.
pid_t OwnerOf(std::string_view name, const std::string& base) {
    const std::string prefix = "." + base + ".";
    if (!name.starts_with(prefix)) return 0;
    name.remove_prefix(prefix.size());
    const std::size_t dot = name.find('.');
    if (dot == std::string_view::npos) return 0;
    const std::string_view id = name.substr(0, dot), random = name.substr(dot + 1);
    if (random.size() != kRandomPart.size()) return 0;
    for (const char c : random)
        if (!IsAsciiAlnum(c)) return 0;
    if (id.empty() || id.front() == '0' || id.front() == '+' || id.front() == '-') return 0;
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(id.data(), id.data() + id.size(), pid);
    return error == std::errc() && end == id.data() + id.size() ? pid : 0;
}

// A process of another user answers EPERM: it runs all the same.
bool IsRunning(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

}  // namespace

std::string TempNameFor(const std::string& target) {
    fs::path path = PathFromUtf8(target);
    const std::string name = "." + Utf8FromPath(path.filename()) + "." +
                             std::to_string(::getpid()) + "." + std::string(kRandomPart);
    return Utf8FromPath(path.replace_filename(PathFromUtf8(name)));
}

void RemoveLeftoverTemps(const std::string& target) {
    const fs::path path = PathFromUtf8(target);
    const std::string base = Utf8FromPath(path.filename());
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    std::vector<fs::path> leftovers;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const pid_t owner = OwnerOf(Utf8FromPath(it->path().filename()), base);
        std::error_code statusError;  // an entry gone meanwhile ends nothing but its own look
        const bool plainFile = it->symlink_status(statusError).type() == fs::file_type::regular;
        if (owner > 0 && plainFile && !IsRunning(owner)) leftovers.push_back(it->path());
    }
    for (const fs::path& leftover : leftovers) fs::remove(leftover, ec);
}

}  // namespace vb::platform
