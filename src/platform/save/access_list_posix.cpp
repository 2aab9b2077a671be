#include <sys/types.h>
#include <sys/xattr.h>

#include <cerrno>
#include <map>

#include "platform/save/access_list.h"

namespace vb::platform {

namespace {

using Attributes = std::map<std::string, std::string>;

// A list or value whose size the system tells first (get with no room answers the size);
// read again when it grew between the two calls.
template <typename Get>
int ReadSized(Get get, std::string& out) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        const ssize_t size = get(nullptr, 0);
        if (size < 0) return errno;
        out.resize(static_cast<std::size_t>(size));
        if (size == 0) return 0;
        const ssize_t got = get(out.data(), out.size());
        if (got >= 0) {
            out.resize(static_cast<std::size_t>(got));
            return 0;
        }
        if (errno != ERANGE) return errno;
    }
    return ERANGE;
}

// Every extended attribute this user can see, by name. A file system without them has none.
template <typename List, typename Get>
int ReadAttributes(List list, Get get, Attributes& out) {
    std::string names;
    if (const int err = ReadSized(list, names)) return err == ENOTSUP ? 0 : err;
    for (std::size_t at = 0; at < names.size();) {
        const std::string name = names.c_str() + at;
        at += name.size() + 1;
        std::string value;
        const int err =
            ReadSized([&](char* into, std::size_t room) { return get(name, into, room); }, value);
        if (err == ENODATA) continue;  // removed since the list was read
        if (err != 0) return err;
        out.emplace(name, std::move(value));
    }
    return 0;
}

}  // namespace

int CopyAccessList(const std::string& from, const FileHandle& to) {
    const int fd = static_cast<int>(to.Native());
    Attributes old, now;
    int err = ReadAttributes(
        [&](char* into, std::size_t room) { return ::listxattr(from.c_str(), into, room); },
        [&](const std::string& name, char* into, std::size_t room) {
            return ::getxattr(from.c_str(), name.c_str(), into, room);
        },
        old);
    if (err == 0)
        err = ReadAttributes(
            [&](char* into, std::size_t room) { return ::flistxattr(fd, into, room); },
            [&](const std::string& name, char* into, std::size_t room) {
                return ::fgetxattr(fd, name.c_str(), into, room);
            },
            now);
    if (err != 0) return err;
    // What the new file took from its folder (a default access list) and the old one lacks
    // would give access the old file did not.
    for (const auto& [name, value] : now)
        if (!old.contains(name) && ::fremovexattr(fd, name.c_str()) != 0 && errno != ENODATA)
            return errno;
    // An attribute the new file already holds as it is (a security label) is left alone: a
    // user may not be allowed to set it even to the same value.
    for (const auto& [name, value] : old) {
        const auto same = now.find(name);
        if (same != now.end() && same->second == value) continue;
        if (::fsetxattr(fd, name.c_str(), value.data(), value.size(), 0) != 0) return errno;
    }
    return 0;
}

}  // namespace vb::platform
