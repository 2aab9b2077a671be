#pragma once

namespace vb::platform {

// Caption of every message box that has no caption of its own, and the start of the
// window caption.
inline constexpr const char* kAppTitle = "ＺＵＮＤヴォルナックビルダー";

// The program's own name: its executables' (VornackBuilder.exe, .com), the one every error
// line of a command-line run starts with, and the name the desktop knows it by.
inline constexpr const char* kProgramName = "VornackBuilder";

// The program's words for a failure it has no description of.
inline constexpr const char* kUnexpectedFailure = "予期しないエラーが発生しました。";

}  // namespace vb::platform
