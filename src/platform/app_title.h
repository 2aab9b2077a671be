#pragma once

namespace vb::platform {

// Caption of every message box that has no caption of its own, and the start of the
// window caption.
inline constexpr const char* kAppTitle = "ＺＵＮＤヴォルナックビルダー";

// The program's words for a failure it has no description of.
inline constexpr const char* kUnexpectedFailure = "予期しないエラーが発生しました。";

}  // namespace vb::platform
