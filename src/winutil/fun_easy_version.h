#pragma once

#include <string>

#include "platform/message_box.h"

// Fun_EasyVersion: the program's version as text, and the version box.
namespace vb::winutil {

// Caption of the version box.
inline constexpr const char* kVersionBoxCaption = "ﾊﾞｰｼﾞｮﾝ情報";

// "major.minor.revision" in plain decimal (version 0.9.0.19 gives "0.9.19").
std::string GetVersion();

// The version box's text: the application title, " v" and the version; an empty line;
// "by " and the credit; lines joined by CR LF.
std::string VersionText(const std::string& credit);

// Shows the version box (information icon, OK only) and waits until it is closed.
void ShowVersion(platform::MessageBoxService& boxes, const std::string& credit);

}  // namespace vb::winutil
