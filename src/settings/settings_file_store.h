#pragma once

#include <string>

// The raw file operations behind the settings file: read it whole, and replace it whole
// without ever leaving a half-written file behind. Failures come back as the system's error
// number, so the caller can show the system's reason. Methods are virtual so tests can inject
// faults such as an unreadable file.
namespace vb::settings {

struct ReadResult {
    bool exists = false;  // false: nothing at the path (or a dangling link)
    int error = 0;        // 0, or why an existing file could not be read
    std::string bytes;
};

class SettingsFileStore {
  public:
    virtual ~SettingsFileStore() = default;

    // Reads a regular file whole. Anything else at the path (a folder, a pipe) is an error.
    virtual ReadResult Read(const std::string& path);

    // Makes the file hold exactly these bytes; returns 0 or an error number.
    //
    // A link is written through to the file it points to. The bytes go to a new temporary
    // file in that file's folder, which then replaces the file in one step (a crash leaves
    // either the old or the new file, never a mix), taking over its permissions. When the
    // folder cannot take a temporary file (the system refuses, or it has no write permission
    // bits) an existing file that has write permission bits is rewritten in place instead.
    // A new file is readable and writable by its owner only. On failure nothing is changed.
    virtual int Replace(const std::string& path, const std::string& bytes);
};

// The file a path finally names once links are followed (the path itself when it is no
// link; also when the link points nowhere yet).
std::string ResolveLinks(const std::string& path);

// True when a status has at least one write permission bit: the program's own rule for
// "not write-protected", which also holds for a user the system would let write anyway.
bool HasWritePermissionBits(unsigned mode);

}  // namespace vb::settings
