#include "platform/desktop_shell.h"

#include <cctype>

namespace vb::platform {

bool LooksLikeAddress(const std::string& target) {
    std::size_t i = 0;
    if (target.empty() || !std::isalpha(static_cast<unsigned char>(target[0]))) return false;
    while (i < target.size() && (std::isalnum(static_cast<unsigned char>(target[i])) ||
                                 target[i] == '+' || target[i] == '-' || target[i] == '.'))
        ++i;
    return i >= 2 && i < target.size() && target[i] == ':';
}

SystemDesktopShell::SystemDesktopShell(std::string opener) : opener_(std::move(opener)) {}

}  // namespace vb::platform
