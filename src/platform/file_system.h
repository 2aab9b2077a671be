#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_lock.h"
#include "platform/folder_reader.h"

// The window's file-system service: exactly the folder and file operations the builder, the
// settings load and the source count use. Failures throw SystemError with a description that
// names the file or folder. Methods are virtual so tests can inject faults.
namespace vb::platform {

class ClosesBehind;
class FileHandle;

// One file of a folder listing.
struct FileEntry {
    std::string name;  // file name without folder
    std::string path;  // folder + separator + name
};

// A listed folder. Files are every regular file directly inside it (or a link to one),
// sorted by the bytes of their UTF-8 names on every system; sub-folders, pipes, devices and sockets
// are not files.
class Folder {
  public:
    Folder(std::string path, std::vector<FileEntry> files);
    const std::string& Path() const { return path_; }
    const std::vector<FileEntry>& Files() const { return files_; }
    std::size_t Count() const { return files_.size(); }

  private:
    std::string path_;
    std::vector<FileEntry> files_;
};

class FileSystemObject {
  public:
    FileSystemObject();
    virtual ~FileSystemObject() = default;

    // True when the path names an existing folder (following links).
    virtual bool FolderExists(const std::string& path);

    // Lists the folder; throws when it does not exist or cannot be listed.
    virtual Folder GetFolder(const std::string& path);
    // The names of the files GetFolder lists, in its order, without their paths: a folder
    // of many files listed for less memory.
    virtual std::vector<std::string> GetFileNames(const std::string& path);

    // True when path names a link (a symbolic link; on Windows also a junction or a mounted
    // volume's folder), whatever it points to, even nothing. Links are not followed.
    bool IsFolderLink(const std::string& path);

    // The first half of a deletion: frees the folder's name for a new folder. Throws, before
    // anything is changed, when the folder does not exist or holds content this user may not
    // write (MayWrite). Then moves the folder aside beside it on the same file system under
    // an own name (AsideName), which it returns. Throws before anything is changed, too, when
    // a file system is mounted inside (kDeletionMountInside) or the folder cannot be moved
    // (kCannotMoveAside: its parent write-protected, the folder itself a mount point, a file
    // inside open on Windows). A link standing in for the folder is removed as a link and
    // returns "". Links (junctions and mounted volumes on Windows) inside are removed as
    // links; nothing outside is touched.
    // Thread: during a write-out this runs on a helper thread while the window's thread waits
    // for it (RunBeside); it touches the file system alone.
    virtual std::string MoveFolderAside(const std::string& path);

    // What interrupted deletions of the folder at path left beside it (IsLeftOverAside),
    // removed as DeleteMovedAside removes a folder (also when the folder itself is missing).
    // Best effort: what cannot be listed or removed stays.
    // Thread: during a write-out this runs on DeletesBehind's helper thread, as
    // DeleteMovedAside does; it touches the file system alone.
    void RemoveLeftOverAsides(const std::string& path);

    // The second half: removes the folder that MoveFolderAside moved aside from path. Throws,
    // naming the aside folder, when something stays; what stays is removed by a later
    // deletion of path once this process has ended, and never goes back under path's name.
    // Thread: during a write-out this runs on a helper thread (DeletesBehind), beside the
    // window's thread working on this object. An override may touch the folder, nothing of
    // the window and no other member of this object.
    virtual void DeleteMovedAside(const std::string& aside, const std::string& path);

    // Creates one folder level; throws when it exists already or the parent is missing.
    virtual void CreateFolder(const std::string& path);

    // A random name: "rad" + five upper-case hexadecimal digits + ".tmp".
    virtual std::string GetTempName();
    void SeedTempNames(std::uint32_t seed) { tempNames_.seed(seed); }

    // The last path component without its extension.
    static std::string GetBaseName(const std::string& path);

    // True when the path can be opened for reading as a file (a folder cannot).
    virtual bool CanOpenForReading(const std::string& path);

    // The whole file as raw bytes / as text decoded from cp932. Throws when it cannot be
    // opened or read (a folder counts as "cannot be opened").
    virtual std::string ReadAllBytes(const std::string& path);
    std::string ReadAllText(const std::string& path);

    // The named file of a folder held open by the reader, read whole as ReadAllBytes reads
    // it and failing as it fails (naming the file by its full path). The bytes stay valid
    // until the reader's next read.
    // Thread: during a write-out this runs on the read-ahead thread (builder::PicksAhead),
    // beside the window's thread working on this object. An override may touch the reader
    // and what it owns, nothing of the window and no other member of this object.
    virtual std::string_view ReadFileOf(FolderReader& folder, const std::string& name);

    // Creates or replaces the file with exactly these bytes / these pieces one after another
    // (written as they are, not joined first where the system allows) / this text encoded
    // to cp932 (unmappable characters as HTML references). No byte-order mark, nothing added.
    // While a ClosesBehind of this object lives, the file is closed by its helper thread.
    void WriteAllBytes(const std::string& path, std::string_view bytes);
    virtual void WriteAllPieces(const std::string& path, std::span<const std::string_view> pieces);
    void WriteAllText(const std::string& path, const std::string& utf8);

    // Takes the exclusive lock of the file at the path (FileLock::TryTake), made empty when
    // missing. Not Held() when another holder has it; throws when it cannot be opened, naming
    // the folder instead when that is missing.
    virtual FileLock TakeLock(const std::string& path);

  protected:
    // Closes a file the writes wrote: the system's error number, 0 when it closed. Called by
    // the write itself, or by a ClosesBehind's helper thread.
    // Thread: the helper's, while the window's thread goes on writing through this object.
    // An override may touch the file and what it owns, nothing of the window and no other
    // member of this object.
    virtual int CloseWritten(FileHandle& file);

  private:
    friend class ClosesBehind;
    // Names of the plain files directly inside the folder, in the system's order.
    std::vector<std::string> ListPlainFiles(const std::string& path);

    std::mt19937 tempNames_;
    ClosesBehind* closesBehind_ = nullptr;  // the one that closes the written files, if any
};

}  // namespace vb::platform
