#include "platform/program_folder.h"

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vb::platform {

namespace {

struct Override {
    std::string folder;
    std::string baseName;
};

Override& TestingOverride() {
    static Override o;
    return o;
}

std::filesystem::path ExecutablePath() {
#ifdef _WIN32
    wchar_t buffer[32768];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
    return std::filesystem::path(std::wstring(buffer, n));
#else
    std::error_code ec;
    auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path() / "VornackBuilder" : p;
#endif
}

}  // namespace

std::string ProgramFolder() {
    if (!TestingOverride().folder.empty()) return TestingOverride().folder;
    return ExecutablePath().parent_path().string();
}

std::string ExecutableBaseName() {
    if (!TestingOverride().folder.empty()) return TestingOverride().baseName;
    return ExecutablePath().stem().string();
}

void SetProgramFolderForTesting(const std::string& folder, const std::string& executableBaseName) {
    TestingOverride() = {folder, executableBaseName};
}

char PathSeparator() {
#ifdef _WIN32
    return '\\';
#else
    return '/';
#endif
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == PathSeparator()) return folder + name;
    std::string out;
    out.reserve(folder.size() + 1 + name.size());
    out += folder;
    out += PathSeparator();
    out += name;
    return out;
}

}  // namespace vb::platform
