#pragma once

#include <string>

// Reading a file whole, and replacing a file whole without ever leaving a half-written one
// behind: the raw operations under the settings file. Errors are the system's numbers.
namespace vb::platform {

struct WholeFileRead {
    bool exists = false;  // false: nothing at the path (or a dangling link)
    int error = 0;        // 0, or why an existing file could not be read
    std::string bytes;
};

// Reads a plain file whole. Anything else at the path (a folder, a pipe) is an error.
WholeFileRead ReadWholeFile(const std::string& path);

// Makes the file hold exactly these bytes; returns 0 or the system's error number.
//
// The bytes go to a new temporary file beside the file (a link is followed to the file it
// names), which is flushed to the disk and then takes the file's place in one step: a crash
// leaves either the old or the new file, never a mix, and the new one keeps the old one's
// permissions and access list (CopyAccessList; on POSIX all its extended attributes). An
// existing file this user may not write (MayWrite) is refused. When the folder takes no new
// file, or the new file could not take the old one's access list, an existing file is
// rewritten in place instead; on POSIX also when a new file could not keep the old one's
// owner and group (a file shared in a group and saved by another member), when the folder's
// sticky bit refuses the rename, and when the file has more than one hard link; on Windows
// also when another program holds the file so that it cannot be swapped, after a few retries
// (a virus scanner or the indexer may hold it for a moment).
// A new file is readable and writable by its owner only (POSIX). On failure nothing changes.
// After a save, the temporary files that saves of processes now gone left beside the file
// are removed (RemoveLeftoverTemps).
int ReplaceWholeFile(const std::string& path, const std::string& bytes);

// ReplaceWholeFile's fallback on both systems: the existing file is overwritten where it is
// (written, cut to its new length, flushed). Returns 0 or the system's error number.
int RewriteInPlace(const std::string& target, const std::string& bytes);

}  // namespace vb::platform
