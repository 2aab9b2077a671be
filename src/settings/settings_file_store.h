#pragma once

#include <string>

#include "platform/save/whole_file.h"

// The raw file operations behind the settings file: read it whole, and replace it whole
// without ever leaving a half-written file behind (platform/save/whole_file.h says how). Failures
// come back as the system's error number, so the caller can show the system's reason.
// Methods are virtual so tests can inject faults such as an unreadable file.
namespace vb::settings {

using ReadResult = platform::WholeFileRead;

class SettingsFileStore {
  public:
    virtual ~SettingsFileStore() = default;

    // Reads a regular file whole. Anything else at the path (a folder, a pipe) is an error.
    virtual ReadResult Read(const std::string& path) { return platform::ReadWholeFile(path); }

    // Makes the file hold exactly these bytes; returns 0 or an error number. On failure
    // nothing is changed.
    virtual int Replace(const std::string& path, const std::string& bytes) {
        return platform::ReplaceWholeFile(path, bytes);
    }
};

}  // namespace vb::settings
