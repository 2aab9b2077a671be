#include "child_process.h"

#include <fstream>
#include <string>

namespace vb::bench {

namespace {

long StatusFieldKiB(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.compare(0, field.size(), field) == 0 && line.size() > field.size() &&
            line[field.size()] == ':')
            return std::stol(line.substr(field.size() + 1));
    }
    return -1;
}

}  // namespace

long ResidentKiB() { return StatusFieldKiB("VmRSS"); }

long PeakResidentKiB() {
    const long hwm = StatusFieldKiB("VmHWM");
    if (hwm >= 0) return hwm;
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double RunQueueWaitSeconds() {
    // schedstat: time on the processor, time waiting to run (both in ns), time slices.
    std::ifstream schedstat("/proc/thread-self/schedstat");
    unsigned long long onCpu = 0, waiting = 0;
    if (!(schedstat >> onCpu >> waiting)) return 0;
    return static_cast<double>(waiting) / 1e9;
}

}  // namespace vb::bench
