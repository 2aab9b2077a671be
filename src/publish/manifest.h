#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_handle.h"
#include "publish/transfer.h"

// The manifest: what the last publishes put on a server, so that the next one sends only what
// changed and deletes only what it made. It lies beside the server's output folder in
// "local", under the server's own name of the kind "published" (platform::OwnName).
//
// The file is ASCII text with CR LF line ends: a header line, the destination, then one line
// per event in the order they happened, the later line of a name counting:
//   VornackBuilder-published 1
//   to <user> <host> <port> <folder>
//   file <size> <sha256> <name>   the name holds these bytes, which a publish sent
//   begun <name>                  an upload under the name began: the name is ours, its bytes
//                                 unknown (a temporary name, or a page cut off mid-way)
//   gone <name>                   the name is no longer ours (deleted, or renamed away)
// Every name and destination word has its bytes outside '!'..'~', and '%', written as %XX.
// A publish writes the whole file anew when it starts and ends (platform::ReplaceWholeFile)
// and appends a line as each step lands, so a publish cut off at any moment leaves a manifest
// that says what the server holds; a last line without its line end (cut mid-write) counts
// for nothing.
namespace vb::publish {

// What the manifest knows of one name on the server.
struct Published {
    bool known = false;  // false: begun, its bytes unknown
    std::uint64_t size = 0;
    std::string sha256;
    bool operator==(const Published&) const = default;
};

struct Manifest {
    std::string destination;  // Destination(): where the files are
    std::map<std::string, Published> files;
    bool operator==(const Manifest&) const = default;
};

// Where a publish goes: the user, the host (its letters' case aside), the port and the
// remote folder. A manifest made for another destination tells nothing of this one.
std::string Destination(const Endpoint& endpoint, std::string_view remoteFolder);

// The server's own name of the kind (platform::OwnName) beside its output folder in "local".
// "lock" is the write-out's lock, the file builder::OutputLockPath names: the publishing
// layer stands beside the build, not above it, so the name is made here again from the same
// parts.
std::string BesideOutputFolder(const std::string& outputFolder, const std::string& serverName,
                               std::string_view kind);

// The manifest's path: beside the output folder, of the kind "published".
std::string ManifestPath(const std::string& outputFolder, const std::string& serverName);

// The manifest the bytes hold; nothing when they are not a manifest (an empty file is none).
std::optional<Manifest> ParseManifest(std::string_view bytes);
std::string ManifestBytes(const Manifest& manifest);

// The manifest as a publish keeps it: each change is appended as it happens. Safe to call
// from several threads.
class ManifestLog {
  public:
    // Writes the manifest whole to the path and opens it to append. Returns "" or why not.
    std::string Start(const std::string& path, Manifest base);
    // Each returns "" or why the line could not be written.
    std::string Landed(const std::string& name, std::uint64_t size, const std::string& sha256);
    std::string Begun(const std::string& name);
    std::string Gone(const std::string& name);
    // Writes the manifest whole again, without the lines of the names gone. "" or why not.
    std::string Finish();

  private:
    std::string Append(const std::string& line);
    std::mutex mutex_;
    std::string path_;
    Manifest current_;
    platform::FileHandle file_;
};

}  // namespace vb::publish
