#include "platform/aside_name.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/own_name.h"
#include "platform/process_check.h"
#include "platform/save/save_temp.h"

namespace vb::platform {

namespace {

constexpr std::string_view kAsideKind = "deleting-";

// The kind's start for this machine: the marker of what it is, and the machine's tag, so that
// a folder shared with another machine never takes that machine's process for one of its own.
std::string OwnKindStart() { return std::string(kAsideKind) + ThisMachineTag() + "-"; }

// Milliseconds of the steady clock, raised past the last tick given so that no two names of
// this process share one.
std::uint64_t NextTick() {
    static std::atomic<std::uint64_t> last{0};
    const auto now =
        static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                       std::chrono::steady_clock::now().time_since_epoch())
                                       .count());
    std::uint64_t seen = last.load();
    std::uint64_t tick = 0;
    do {
        tick = now > seen ? now : seen + 1;
    } while (!last.compare_exchange_weak(seen, tick));
    return tick;
}

}  // namespace

std::string AsideName(const std::string& folderName) {
    return OwnName(folderName, OwnKindStart() + std::to_string(ThisProcessId()) + "-" +
                                   std::to_string(NextTick()));
}

bool IsLeftOverAside(const std::string& folderName, const std::string& name) {
    const std::optional<std::string> kind = OwnNameKind(name, folderName);
    if (!kind) return false;
    const std::string own = OwnKindStart();
    std::string_view rest = *kind;
    if (!rest.starts_with(own)) return false;
    rest.remove_prefix(own.size());
    // ProcessIsGone itself refuses an id the system's ids cannot be.
    const std::optional<std::uint64_t> process = save_temp::TakeNumber(rest, '-', UINT64_MAX);
    const bool tick = process && save_temp::TakeNumber(rest, '\0', UINT64_MAX);
    return tick && rest.empty() && ProcessIsGone(*process);
}

}  // namespace vb::platform
