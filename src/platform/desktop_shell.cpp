#include "platform/desktop_shell.h"

#include <cctype>
#include <filesystem>

#ifdef _WIN32
// windows.h must come first.
#include <windows.h>
// clang-format off
#include <shellapi.h>
// clang-format on
#else
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <thread>
#include <vector>

extern char** environ;
#endif

namespace vb::platform {

namespace fs = std::filesystem;

bool LooksLikeAddress(const std::string& target) {
    std::size_t i = 0;
    if (target.empty() || !std::isalpha(static_cast<unsigned char>(target[0]))) return false;
    while (i < target.size() && (std::isalnum(static_cast<unsigned char>(target[i])) ||
                                 target[i] == '+' || target[i] == '-' || target[i] == '.'))
        ++i;
    return i >= 2 && i < target.size() && target[i] == ':';
}

SystemDesktopShell::SystemDesktopShell(std::string opener) : opener_(std::move(opener)) {}

#ifdef _WIN32

namespace {

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

// An absent string goes to the shell as a null pointer, not as an empty string.
struct OptionalWide {
    explicit OptionalWide(const std::optional<std::string>& s) : present(s.has_value()) {
        if (present) text = Wide(*s);
    }
    const wchar_t* get() const { return present ? text.c_str() : nullptr; }
    bool present;
    std::wstring text;
};

int ShellResult(HINSTANCE h) { return static_cast<int>(reinterpret_cast<INT_PTR>(h)); }

}  // namespace

int SystemDesktopShell::Execute(const std::optional<std::string>& operation,
                                const std::string& file,
                                const std::optional<std::string>& parameters,
                                const std::optional<std::string>& directory, int show) {
    const OptionalWide op(operation), params(parameters), dir(directory);
    return ShellResult(ShellExecuteW(GetDesktopWindow(), op.get(), Wide(file).c_str(), params.get(),
                                     dir.get(), show));
}

bool SystemDesktopShell::OpenFolder(const std::string& folder) {
    return ShellResult(ShellExecuteW(nullptr, L"explore", Wide(folder).c_str(), nullptr, nullptr,
                                     SW_SHOWNORMAL)) > 32;
}

bool SystemDesktopShell::OpenAddress(const std::string& address) {
    return ShellResult(ShellExecuteW(nullptr, L"open", Wide(address).c_str(), nullptr, nullptr,
                                     SW_SHOWNORMAL)) > 32;
}

#else

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
    if (directory && !fs::is_directory(*directory, ec)) return kShellPathNotFound;
    if (file.empty()) return kShellFileNotFound;

    std::string target = file;
    if (!LooksLikeAddress(file)) {
        fs::path path(file);
        if (path.is_relative() && directory) path = fs::path(*directory) / path;
        if (!fs::exists(path, ec)) {
            const fs::path parent = path.parent_path();
            return parent.empty() || fs::is_directory(parent, ec) ? kShellFileNotFound
                                                                  : kShellPathNotFound;
        }
        // Absolute, so that a name starting with "-" cannot pass for an option.
        target = fs::absolute(path, ec).string();
    }
    return Spawn(opener_, target, directory) ? kShellStarted : kShellNoAssociation;
}

bool SystemDesktopShell::OpenFolder(const std::string& folder) {
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(folder, ec)) return false;
    return Spawn(opener_, fs::absolute(folder, ec).string(), std::nullopt);
}

bool SystemDesktopShell::OpenAddress(const std::string& address) {
    return !address.empty() && Spawn(opener_, address, std::nullopt);
}

#endif

}  // namespace vb::platform
