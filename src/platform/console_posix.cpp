#include <unistd.h>

#include <cerrno>

#include "platform/console.h"

namespace vb::platform {

namespace {
int Fd(ConsoleStream stream) {
    return stream == ConsoleStream::Output ? STDOUT_FILENO : STDERR_FILENO;
}
}  // namespace

void WriteToConsole(ConsoleStream stream, std::string_view utf8) {
    while (!utf8.empty()) {
        const ssize_t n = ::write(Fd(stream), utf8.data(), utf8.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;  // closed or full: the text is lost, the run goes on
        utf8.remove_prefix(static_cast<std::size_t>(n));
    }
}

bool IsTerminal(ConsoleStream stream) { return ::isatty(Fd(stream)) == 1; }

}  // namespace vb::platform
