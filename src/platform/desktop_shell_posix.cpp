#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <filesystem>
#include <thread>
#include <vector>

#include "platform/desktop_shell.h"
#include "platform/native_path.h"

extern char** environ;

namespace vb::platform {

namespace fs = std::filesystem;

namespace {

// Starts program with one argument, without a shell and without waiting; a background
// thread collects its exit status so that no zombie is left behind.
bool Spawn(const std::string& program, const std::string& argument,
           const std::optional<std::string>& workingDirectory) {
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) return false;
    if (workingDirectory &&
        posix_spawn_file_actions_addchdir_np(&actions, workingDirectory->c_str()) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return false;
    }
    std::vector<char*> argv = {const_cast<char*>(program.c_str()),
                               const_cast<char*>(argument.c_str()), nullptr};
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return false;
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

bool IsKnownVerb(const std::optional<std::string>& operation) {
    return !operation || *operation == "open" || *operation == "explore";
}

}  // namespace

int SystemDesktopShell::Execute(const std::optional<std::string>& operation,
                                const std::string& file,
                                const std::optional<std::string>& /*parameters*/,
                                const std::optional<std::string>& directory, int /*show*/) {
    if (!IsKnownVerb(operation)) return kShellNoAssociation;
    std::error_code ec;
    if (directory && !fs::is_directory(PathFromUtf8(*directory), ec)) return kShellPathNotFound;
    if (file.empty()) return kShellFileNotFound;

    std::string target = file;
    if (!LooksLikeAddress(file)) {
        fs::path path = PathFromUtf8(file);
        if (path.is_relative() && directory) path = PathFromUtf8(*directory) / path;
        if (!fs::exists(path, ec)) {
            const fs::path parent = path.parent_path();
            return parent.empty() || fs::is_directory(parent, ec) ? kShellFileNotFound
                                                                  : kShellPathNotFound;
        }
        // Absolute, so that a name starting with "-" cannot pass for an option.
        target = Utf8FromPath(fs::absolute(path, ec));
    }
    return Spawn(opener_, target, directory) ? kShellStarted : kShellNoAssociation;
}

bool SystemDesktopShell::OpenFolder(const std::string& folder) {
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(PathFromUtf8(folder), ec)) return false;
    return Spawn(opener_, Utf8FromPath(fs::absolute(PathFromUtf8(folder), ec)), std::nullopt);
}

bool SystemDesktopShell::OpenAddress(const std::string& address) {
    return !address.empty() && Spawn(opener_, address, std::nullopt);
}

}  // namespace vb::platform
