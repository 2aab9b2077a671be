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
    startsLine_ = true;
    if (!empty && error == 0) {
        // Read apart: the log is open for appending only. A file that cannot be read is
        // taken as ending whole.
        int readError = 0;
        char last = '\n';
        FileHandle reader = FileHandle::OpenForReading(path, readError);
        if (reader.IsOpen() && reader.ReadLastByte(last) == 0) startsLine_ = last == '\n';
    }
    return error;
}

int AppendedLog::Write(std::string_view utf8) {
    if (!file_.IsOpen() || utf8.empty()) return 0;
    std::string bytes = LogFileBytes(utf8, SystemLogStyle(), startsFile_);
    if (!startsLine_) bytes.insert(0, SystemLogStyle().crlf ? "\r\n" : "\n");
    const int error = file_.AppendWhole(bytes);
    if (error == 0) {
        startsFile_ = false;
        startsLine_ = bytes.back() == '\n';
    }
    return error;
}

}  // namespace vb::platform
