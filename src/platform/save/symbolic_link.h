#pragma once

#include <optional>
#include <string>
#include <string_view>

// Following symbolic links to the file they finally name, so that a save writes through a
// link instead of replacing it.
namespace vb::platform {

// The file a path finally names once symbolic links are followed: the path itself when it
// is no link, and the path the last link names when that points nowhere yet (so that a save
// creates the file the link names). Only the last part of the path is followed; links
// among its folders need no following for a save beside the file.
std::string ResolveLinks(const std::string& path);

#ifdef _WIN32
// The path a symbolic link's reparse data (as FSCTL_GET_REPARSE_POINT gives it: the
// REPARSE_DATA_BUFFER of IO_REPARSE_TAG_SYMLINK) names, made absolute as Windows resolves a
// relative link: beside the link, or from the root of the link's drive or share when it
// starts with a separator ("\conf\x.ini"), or from a named drive's root ("D:conf\x.ini");
// nothing for any other reparse point or for data that does not hold together.
std::optional<std::string> LinkTargetFromReparseData(const std::string& link,
                                                     std::string_view data);
#endif

}  // namespace vb::platform
