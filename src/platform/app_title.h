#pragma once

namespace vb::platform {

// Caption of every message box that has no caption of its own, and the start of the
// window caption.
inline constexpr const char* kAppTitle = "ＺＵＮＤヴォルナックビルダー";

}  // namespace vb::platform
