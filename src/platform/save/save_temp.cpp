#include "platform/save/save_temp.h"

#include "codec/decimal.h"
#include "codec/hex_hash.h"

namespace vb::platform {

const std::string& ThisMachineTag() {
    static const std::string tag = codec::HexHash(save_temp::MachineIdentity());
    return tag;
}

namespace save_temp {

std::optional<std::string_view> AfterOwnMarker(std::string_view name, std::string_view prefix) {
    const std::string own = std::string(prefix) + std::string(kMarker) + ThisMachineTag() + "-";
    if (!name.starts_with(own)) return std::nullopt;
    name.remove_prefix(own.size());
    return name;
}

std::optional<std::uint64_t> TakeNumber(std::string_view& rest, char delimiter,
                                        std::uint64_t most) {
    const std::size_t end = delimiter == '\0' ? rest.size() : rest.find(delimiter);
    if (end == std::string_view::npos || end == 0) return std::nullopt;
    // The names write no leading zero.
    if (rest[0] == '0' && end > 1) return std::nullopt;
    const std::optional<std::uint64_t> value = codec::DecimalNumber(rest.substr(0, end), most);
    if (!value) return std::nullopt;
    rest.remove_prefix(delimiter == '\0' ? end : end + 1);
    return value;
}

}  // namespace save_temp

}  // namespace vb::platform
