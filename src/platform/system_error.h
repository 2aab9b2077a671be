#pragma once

#include <stdexcept>
#include <string>

namespace vb::platform {

// A failure of a platform operation: the text is the description shown to the user, naming
// the file or folder involved and the operating system's reason.
class SystemError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// "<what>: <path>" + line break + the reason for errno, as shown in failure reports.
std::string DescribeFailure(const std::string& what, const std::string& path, int errnoValue);

}  // namespace vb::platform
