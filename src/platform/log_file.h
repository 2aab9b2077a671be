#pragma once

#include <string>
#include <string_view>

#include "platform/file_handle.h"

// A log file that one run after another adds to (a scheduled write-out's --log).
namespace vb::platform {

// How a system's own readers expect a text file. Windows' (Notepad, Windows PowerShell
// 5.1's Get-Content) take a file without a byte-order mark for the machine's ANSI code page
// and want CR LF; POSIX tools want plain UTF-8 with '\n'.
struct LogFileStyle {
    bool byteOrderMark;  // a new file starts with the UTF-8 byte-order mark
    bool crlf;           // lines end in CR LF
};
inline constexpr LogFileStyle kWindowsLogStyle{true, true};
inline constexpr LogFileStyle kPosixLogStyle{false, false};
// This system's style.
LogFileStyle SystemLogStyle();

// The bytes that UTF-8 text with '\n' line ends becomes in a file of that style; startsFile:
// they are the file's first bytes.
std::string LogFileBytes(std::string_view utf8, LogFileStyle style, bool startsFile);

class AppendedLog {
  public:
    // Opens the file for appending in this system's style, making it when missing. Returns
    // 0 or the system's error number.
    int Open(const std::string& path);
    bool IsOpen() const { return file_.IsOpen(); }
    // Adds the text at the file's end, whole or not at all (FileHandle::AppendWhole). The
    // first text goes on a line of its own when the file does not end with a line break (a
    // line an earlier run could not finish). Returns 0 or the system's error number.
    int Write(std::string_view utf8);

  private:
    FileHandle file_;
    bool startsFile_ = false;  // nothing written yet into a file that had no bytes
    bool startsLine_ = true;   // the file ends with a line break (or has no bytes)
};

}  // namespace vb::platform
