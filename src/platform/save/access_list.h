#pragma once

#include <string>

#include "platform/file_handle.h"

// What gives access to a settings file beyond its owner and mode, carried onto the new file
// a save writes in its place, so that the save neither takes access from anyone nor gives it
// to anyone.
namespace vb::platform {

// Gives the new file (open for writing) what gives access to the file at from, before the
// new file takes its place. POSIX: every extended attribute this user can see, the access
// list among them (on Linux the list is the attribute system.posix_acl_access), with the
// new file's own (one inherited from its folder's default list) removed where the old file
// has none; the caller sets the mode afterwards, whose group bits are the list's mask.
// Windows: the DACL with its protection from inheritance; nothing on a volume that keeps
// no access lists. Returns 0 or the system's error number; after a failure the new file may
// hold part of it and must not take the old one's place.
int CopyAccessList(const std::string& from, const FileHandle& to);

}  // namespace vb::platform
