#include "platform/system_error.h"

namespace vb::platform {

std::string DescribeFailure(const std::string& what, const std::string& path, int code) {
    std::string text = what + "\r\n" + path;
    if (code != 0) text += "\r\n" + DescribeOsError(code);
    return text;
}

void ThrowFailure(const std::string& what, const std::string& path, int code) {
    throw SystemError(DescribeFailure(what, path, code));
}

}  // namespace vb::platform
