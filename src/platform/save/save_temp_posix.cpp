#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <vector>

#include "platform/native_path.h"
#include "platform/process_check.h"
#include "platform/save/save_temp.h"

namespace vb::platform {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kRandomPart = "XXXXXX";  // mkostemp's letters and digits

bool IsAsciiAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The process id in a name of exactly the form "." + base + "." + marker + this machine's
// tag + "-" + id + "." + six letters or digits, or 0 for any other name.
pid_t OwnerOf(std::string_view name, const std::string& base) {
    std::optional<std::string_view> rest = save_temp::AfterOwnMarker(name, "." + base + ".");
    if (!rest) return 0;
    const std::optional<std::uint64_t> pid = save_temp::TakeNumber(*rest, '.', INT_MAX);
    if (!pid || rest->size() != kRandomPart.size()) return 0;
    for (const char c : *rest)
        if (!IsAsciiAlnum(c)) return 0;
    return static_cast<pid_t>(*pid);
}

}  // namespace

// The machine's lasting identity (its machine id, else its host name) and the process-id
// space this process lives in: a process id means something only inside its own space.
std::string save_temp::MachineIdentity() {
    std::string id;
    std::ifstream("/etc/machine-id") >> id;
    if (id.empty()) {
        char host[256] = {};
        ::gethostname(host, sizeof host - 1);
        id = host;
    }
    struct stat space {};
    if (::stat("/proc/self/ns/pid", &space) == 0)
        id += ":" + std::to_string(space.st_dev) + ":" + std::to_string(space.st_ino);
    return id;
}

std::string TempNameFor(const std::string& target) {
    fs::path path = PathFromUtf8(target);
    const std::string name = "." + Utf8FromPath(path.filename()) + "." +
                             std::string(save_temp::kMarker) + ThisMachineTag() + "-" +
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
        if (owner > 0 && plainFile && ProcessIsGone(static_cast<std::uint64_t>(owner)))
            leftovers.push_back(it->path());
    }
    for (const fs::path& leftover : leftovers) fs::remove(leftover, ec);
}

}  // namespace vb::platform
