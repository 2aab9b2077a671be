#include <unistd.h>

#include <cerrno>

#include "platform/console.h"

namespace vb::platform {

namespace {
int Fd(ConsoleStream stream) {
    return stream == ConsoleStream::Output ? STDOUT_FILENO : STDERR_FILENO;
}
}  // namespace

int WriteToConsole(ConsoleStream stream, std::string_view utf8) {
    while (!utf8.empty()) {
        const ssize_t n = ::write(Fd(stream), utf8.data(), utf8.size());
        if (n < 0 && errno == EINTR) continue;
        // Closed or full: the text is lost, the run goes on.
        if (n < 0) return errno == EPIPE || errno == EBADF ? 0 : errno;
        if (n == 0) return ENOSPC;
        utf8.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

bool IsTerminal(ConsoleStream stream) { return ::isatty(Fd(stream)) == 1; }

}  // namespace vb::platform
