#include "platform/log_file.h"

namespace vb::platform {

LogFileStyle SystemLogStyle() {
#ifdef _WIN32
    return kWindowsLogStyle;
#else
    return kPosixLogStyle;
#endif
}

std::string LogFileBytes(std::string_view utf8, LogFileStyle style, bool startsFile) {
    std::string bytes;
    bytes.reserve(utf8.size() + utf8.size() / 16 + 3);
    if (startsFile && style.byteOrderMark) bytes += "\xEF\xBB\xBF";
    for (const char c : utf8) {
        if (c == '\n' && style.crlf) bytes += '\r';
        bytes += c;
    }
    return bytes;
}

int AppendedLog::Open(const std::string& path) {
    int error = 0;
    bool empty = false;
    file_ = FileHandle::OpenForAppending(path, empty, error);
    startsFile_ = empty;
    return error;
}

int AppendedLog::Write(std::string_view utf8) {
    if (!file_.IsOpen() || utf8.empty()) return 0;
    const int error = file_.WriteAll(LogFileBytes(utf8, SystemLogStyle(), startsFile_));
    startsFile_ = false;
    return error;
}

}  // namespace vb::platform
