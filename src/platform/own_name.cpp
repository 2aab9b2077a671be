#include "platform/own_name.h"

#include <algorithm>

#include "codec/hex_hash.h"
#include "codec/utf8.h"
#include "platform/native_path.h"

namespace vb::platform {

std::string OwnName(std::string_view base, std::string_view kind) {
    constexpr std::size_t kMaxName = 255;
    const std::string tail = std::string(kOwnNameMark) + std::string(kind);
    if (base.size() + tail.size() <= kMaxName) return std::string(base) + tail;
    // Two bases that name one folder on this system give one hash (the ASCII case folded
    // as before, so the names of ASCII bases stay what they were).
    const std::string digits =
        codec::HexHash(codec::utf8::AsciiLower(NameAsThisSystemCompares(base)));
    const std::size_t room = kMaxName - std::min(kMaxName, tail.size() + 1 + digits.size());
    std::size_t keep = std::min(room, base.size());
    while (keep > 0 && (static_cast<unsigned char>(base[keep]) & 0xC0) == 0x80) --keep;
    return std::string(base.substr(0, keep)) + "~" + digits + tail;
}

std::optional<std::string> OwnNameKind(std::string_view name, std::string_view base) {
    const std::size_t mark = name.find(kOwnNameMark);
    if (mark == std::string_view::npos) return std::nullopt;
    std::string kind(name.substr(mark + kOwnNameMark.size()));
    if (!SameNameOnThisSystem(name, OwnName(base, kind))) return std::nullopt;
    return kind;
}

}  // namespace vb::platform
