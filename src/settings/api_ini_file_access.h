#pragma once

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/message_box.h"
#include "settings/profile_format.h"
#include "settings/settings_file_store.h"

// API_IniFileAccess: the access layer for the settings file. Nothing above it touches the
// file directly. It names the file, reads and writes single keys, and checks the file before
// every write (a write-protected file draws one warning per path per run).
namespace vb::settings {

// The three-line warning for a write-protected settings file.
extern const char* const kWriteProtectedWarning;

// Why the last write failed.
enum class WriteFailureKind {
    None,            // the last write succeeded
    WriteProtected,  // this user may not write the file (platform::MayWrite)
    Other,           // the file could not be read, created or replaced
};

struct WriteFailure {
    WriteFailureKind kind = WriteFailureKind::None;
    // For WriteProtected: the user has seen the write-protect warning for this path in this run.
    bool warned = false;
    std::string path;    // the settings file the write was for
    std::string reason;  // the system's description of the cause
};

class IniFileAccess {
  public:
    // One object per run: KnownIniFiles lives as long as it does. store: the raw file
    // operations (tests hand in one with injected faults); null: the system's.
    explicit IniFileAccess(platform::MessageBoxService& boxes, SettingsFileStore* store = nullptr);
    IniFileAccess(platform::MessageBoxService& boxes, SettingsFileStore& store)
        : IniFileAccess(boxes, &store) {}

    IniFileAccess(const IniFileAccess&) = delete;
    IniFileAccess& operator=(const IniFileAccess&) = delete;

    // The program folder, a separator, the executable's name without extension and ".ini".
    // Worked out afresh on every call.
    static std::string GetIniPath();

    // True when the key has a non-empty value; value is "" otherwise. A value longer than the
    // read buffer comes back cut. Reading never creates the file and never shows a message.
    // An empty file name means the settings file.
    bool GetIni(const std::string& section, std::string& value, const std::string& key,
                const std::string& file = "");

    // Sets the key; true on success. A missing file is created (owner-only permissions).
    // On failure the file is unchanged and LastWriteFailure() says why.
    bool PutIni(const std::string& section, const std::string& value, const std::string& key,
                const std::string& file = "");

    // Sets several keys of one section in one replacement of the file: all of them, or on a
    // failure none. Otherwise as PutIni, whose single key is this with one pair.
    using KeyValues = std::vector<std::pair<std::string, std::string>>;  // key, value
    bool PutIniKeys(const std::string& section, const KeyValues& keyValues,
                    const std::string& file = "");

    // While reads are held, GetIni reads each file once, at its first read, and answers every
    // later read of it from that reading: a load of many keys costs one read and one parse.
    // A write in between (PutIni) lets go of that reading; PutIni itself reads the file once
    // and then starts from the bytes its last write left, so a save of several keys reads it
    // once too. Meant for one load or one save, not to be held across them.
    void HoldReads(bool hold);

    // True when the path names an existing file that is not a folder. The first time a path
    // is met as an existing file it joins KnownIniFiles, and if it is write-protected the
    // warning is shown (and waits for OK). Called before every write.
    bool CheckIniFile(const std::string& file);

    // Paths met as existing files in this run, in order; never cleared. Paths compare exactly.
    const std::vector<std::string>& KnownIniFiles() const { return knownIniFiles_; }

    const WriteFailure& LastWriteFailure() const { return lastFailure_; }

  private:
    bool Fail(WriteFailureKind kind, const std::string& path, int error);
    // The file parsed, read now or, while reads are held, at its first read; null when it is
    // missing or cannot be read.
    const profile::ParsedFile* Parsed(const std::string& path);

    platform::MessageBoxService& boxes_;
    SettingsFileStore ownStore_;
    SettingsFileStore& store_;
    std::vector<std::string> knownIniFiles_;
    std::set<std::string> warnedPaths_;
    WriteFailure lastFailure_;
    bool holdReads_ = false;
    std::string heldPath_;     // the file whose reading is held
    std::string heldIniPath_;  // the settings file's path, while reads are held
    std::unique_ptr<profile::ParsedFile> held_;
    std::unique_ptr<profile::ParsedFile> parsedNow_;  // the last read's, when none is held
    std::string writtenPath_;  // while reads are held: the file PutIni last wrote, and its bytes
    std::string written_;
};

}  // namespace vb::settings
