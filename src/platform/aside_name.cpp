#include "platform/aside_name.h"

#include <optional>

#include "platform/leftover_name.h"
#include "platform/own_name.h"

namespace vb::platform {

namespace {

// What follows the own-name mark: "deleting-" + this machine's tag + "-" + process + "-" +
// serial.
const LeftoverForm kAsideKind{"", "deleting-", ""};

}  // namespace

std::string AsideName(const std::string& folderName) {
    return OwnName(folderName, NewLeftoverName(kAsideKind));
}

bool IsLeftOverAside(const std::string& folderName, std::string_view name) {
    const std::optional<std::string> kind = OwnNameKind(name, folderName);
    return kind && IsLeftover(kAsideKind, *kind);
}

}  // namespace vb::platform
