#pragma once

#include <string_view>

namespace vb::rules {

// True when the text can name one folder directly inside another: not empty, not "." or
// "..", and free of path separators ('/', '\'), control characters and the characters
// :*?"<>| that file systems refuse. A server name must pass this before the build uses it
// as the name of its output folder, so that the build never deletes anything outside it.
bool IsPlainFolderName(std::string_view name);

}  // namespace vb::rules
