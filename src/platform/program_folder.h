#pragma once

#include <optional>
#include <string>
#include <utility>

namespace vb::platform {

// Folder of the running executable, without a trailing separator.
std::string ProgramFolder();

// File name of the running executable without folder and extension ("VornackBuilder").
std::string ExecutableBaseName();

// Full path of the running executable, as the system gives it.
std::string ExecutablePath();

// The folder "local" in the program folder: it holds every server's output folder (and the
// locks of their write-outs). The one place its path is made.
std::string LocalFolder();

// Tests point the program folder (and optionally the executable name) elsewhere;
// an empty folder restores the real one.
void SetProgramFolderForTesting(const std::string& folder,
                                const std::string& executableBaseName = "VornackBuilder");

// The platform's path separator and a join that inserts exactly one separator.
char PathSeparator();
std::string JoinPath(const std::string& folder, const std::string& name);

// The path cut at its last separator ("/" or the platform's): the folder before it and the
// name after it. Nothing when the path holds no separator.
std::optional<std::pair<std::string, std::string>> SplitAtLastSeparator(const std::string& path);

}  // namespace vb::platform
