#pragma once

#include <string>
#include <vector>

// What the file service's folder work asks of the system, one step a function: the listings,
// and the steps of a folder's deletion and of the sweep of leftovers. The order of the steps,
// and what each outcome means, are the file service's and the same on every system
// (FileSystemObject::MoveFolderAside, SweepLeftovers).
namespace vb::platform::folder_steps {

// What an entry is, looked at without following a link.
enum class Kind {
    Missing,
    Link,  // a symbolic link; on Windows also a junction or a mounted volume's folder
    Folder,
    MountRoot,  // a folder another file system (or a bind mount) is mounted at (POSIX)
    File,       // a plain file
    Other,      // a pipe, a device, a socket
};

struct Look {
    Kind kind = Kind::Missing;
    int error = 0;  // Missing: the system's reason
};
Look LookAt(const std::string& path);

// The entries directly inside the folder but "." and "..", each as LookAt would see it (a
// folder inside is Folder, mount or not); nothing when the folder cannot be listed.
struct Entry {
    std::string name;
    Kind kind = Kind::Other;
};
std::vector<Entry> ListEntries(const std::string& folder);

// The names of the plain files directly inside the folder, links to plain files included
// (never pipes or devices, which would block a reader), in the system's order: 0 or the
// system's error.
int ListPlainFiles(const std::string& folder, std::vector<std::string>& names);

// Removes a link as a link, never what it points to: 0 or the system's error.
int RemoveLink(const std::string& path);

// The first thing that stops the folder's deletion before anything is removed: the folder or
// content inside that this user may not write (MayWrite), a file system mounted inside (POSIX;
// never entered, as rm --one-file-system), or a folder that cannot be looked through.
struct Blocked {
    std::string path;  // empty: nothing stops it
    const char* what = nullptr;
    int code = 0;
};
Blocked FindBlocked(const std::string& folder);

// Renames from to to unless something has that name already (POSIX's rename would replace an
// empty folder there): 0 or the system's error.
int MoveWithoutReplacing(const std::string& from, const std::string& to);

// True for the error of a move whose new path is longer than the system takes.
bool IsNameTooLong(int error);

// Removes the folder and everything in it, links as links, mount points left unentered: 0 or
// the first error (what can be removed is removed all the same).
int RemoveTree(const std::string& folder);

// Removes a plain file: 0 or the system's error.
int RemoveFile(const std::string& path);

}  // namespace vb::platform::folder_steps
