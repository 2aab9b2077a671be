#pragma once

#include <string_view>

namespace vb::rules {

// True when the text can name one folder directly inside another: not empty, not "." or
// "..", and free of path separators ('/', '\'), control characters and the characters
// :*?"<>| that file systems refuse, not ending in a dot or blank (which Windows drops), and
// not a device name Windows reserves (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with or without an
// extension), on every system so that one settings file behaves alike. A server name must pass this
// before the build uses it as the name of its output folder, so that the build never deletes
// anything outside it.
bool IsPlainFolderName(std::string_view name);

}  // namespace vb::rules
