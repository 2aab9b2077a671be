#include "platform/program_folder.h"

#include "platform/native_path.h"

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

}  // namespace

std::string ProgramFolder() {
    if (!TestingOverride().folder.empty()) return TestingOverride().folder;
    return Utf8FromPath(PathFromUtf8(ExecutablePath()).parent_path());
}

std::string ExecutableBaseName() {
    if (!TestingOverride().folder.empty()) return TestingOverride().baseName;
    return Utf8FromPath(PathFromUtf8(ExecutablePath()).stem());
}

std::string LocalFolder() { return JoinPath(ProgramFolder(), "local"); }

void SetProgramFolderForTesting(const std::string& folder, const std::string& executableBaseName) {
    TestingOverride() = {folder, executableBaseName};
}

std::optional<std::pair<std::string, std::string>> SplitAtLastSeparator(const std::string& path) {
    const std::size_t cut = path.find_last_of(std::string("/") + PathSeparator());
    if (cut == std::string::npos) return std::nullopt;
    return std::pair{path.substr(0, cut), path.substr(cut + 1)};
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
