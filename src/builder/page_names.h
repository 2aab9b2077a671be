#pragma once

#include <string>

#include "platform/file_system.h"

namespace vb::builder {

// A page file name: "vor" + five lower-case hexadecimal digits + ".html", the digits taken
// from the file service's temporary-name generator (its base name from the fourth character).
std::string DrawPageName(platform::FileSystemObject& fso);

}  // namespace vb::builder
