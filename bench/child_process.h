#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <type_traits>

// Each case of the benchmark runs in a child process of its own, so that its peak resident
// memory is its own and no case inherits another's heap.
namespace vb::bench {

// Resident memory of this process in KiB, now (VmRSS) and at its peak so far (VmHWM).
long ResidentKiB();
long PeakResidentKiB();

// Processor time (user and system, all threads) this process has used so far, in seconds.
// Next to the wall time it tells a slow run from a busy machine.
double CpuSeconds();

// Time this thread has spent ready to run but waiting for a processor, in seconds: on a
// machine shared with other work, the part of the wall time that is not the program's.
double RunQueueWaitSeconds();

// Runs work() in a forked child and returns what it returned. Result must be trivially
// copyable and have a char array member Problem, which is filled when the child fails.
template <class Result, class Work>
Result InChild(Work&& work) {
    static_assert(std::is_trivially_copyable_v<Result>);
    std::fflush(nullptr);  // nothing buffered may be written twice
    int fds[2];
    if (::pipe(fds) != 0) throw std::runtime_error("pipe failed");
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::close(fds[0]);
        Result result{};
        try {
            result = work();
        } catch (const std::exception& e) {
            std::snprintf(result.Problem, sizeof result.Problem, "%s", e.what());
        }
        const char* at = reinterpret_cast<const char*>(&result);
        for (std::size_t left = sizeof result; left > 0;) {
            const ssize_t n = ::write(fds[1], at, left);
            if (n <= 0) break;
            at += n;
            left -= static_cast<std::size_t>(n);
        }
        std::fflush(nullptr);
        ::_exit(0);
    }
    ::close(fds[1]);
    Result result{};
    char* at = reinterpret_cast<char*>(&result);
    std::size_t got = 0;
    for (ssize_t n; got < sizeof result && (n = ::read(fds[0], at + got, sizeof result - got)) > 0;)
        got += static_cast<std::size_t>(n);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (got != sizeof result)
        std::snprintf(result.Problem, sizeof result.Problem, "the case's process ended early (%s)",
                      WIFSIGNALED(status) ? strsignal(WTERMSIG(status)) : "no result");
    return result;
}

}  // namespace vb::bench
