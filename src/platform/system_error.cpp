#include "platform/system_error.h"

#include <cstring>

namespace vb::platform {

std::string DescribeFailure(const std::string& what, const std::string& path, int errnoValue) {
    std::string text = what + "\r\n" + path;
    if (errnoValue != 0) text += "\r\n" + std::string(std::strerror(errnoValue));
    return text;
}

}  // namespace vb::platform
