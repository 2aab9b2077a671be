#include "platform/leftover_name.h"

#include <atomic>
#include <chrono>
#include <vector>

#include "codec/decimal.h"
#include "codec/hex_hash.h"
#include "platform/folder_steps.h"
#include "platform/process_check.h"
#include "platform/program_folder.h"

namespace vb::platform {

namespace {

// Milliseconds of the steady clock, raised past the last serial given, so that no two names
// of this process share one and a later process of the same id is unlikely to meet one of an
// earlier process's leftovers.
std::uint64_t NextSerial() {
    static std::atomic<std::uint64_t> last{0};
    const auto now =
        static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                       std::chrono::steady_clock::now().time_since_epoch())
                                       .count());
    std::uint64_t seen = last.load();
    std::uint64_t serial = 0;
    do {
        serial = now > seen ? now : seen + 1;
    } while (!last.compare_exchange_weak(seen, serial));
    return serial;
}

// Takes a decimal number from the front of rest up to the delimiter (or to the end when the
// delimiter is '\0'), which it takes too: one or more digits without a leading zero (0 itself
// excepted). Nothing when rest does not start so.
std::optional<std::uint64_t> TakeNumber(std::string_view& rest, char delimiter) {
    const std::size_t end = delimiter == '\0' ? rest.size() : rest.find(delimiter);
    if (end == std::string_view::npos || end == 0) return std::nullopt;
    if (rest[0] == '0' && end > 1) return std::nullopt;  // the names write no leading zero
    const std::optional<std::uint64_t> value =
        codec::DecimalNumber(rest.substr(0, end), UINT64_MAX);
    if (!value) return std::nullopt;
    rest.remove_prefix(delimiter == '\0' ? end : end + 1);
    return value;
}

bool IsAsciiAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The serial after the process id: "-" and one or two numbers, or "." and six letters or
// digits.
bool IsSerial(std::string_view rest) {
    if (rest.size() == 7 && rest[0] == '.') {
        for (const char c : rest.substr(1))
            if (!IsAsciiAlnum(c)) return false;
        return true;
    }
    if (!rest.starts_with('-')) return false;
    rest.remove_prefix(1);
    if (rest.find('-') != std::string_view::npos && !TakeNumber(rest, '-')) return false;
    return TakeNumber(rest, '\0') && rest.empty();
}

// The process id of a name of exactly the form made on this machine; nothing for any other.
std::optional<std::uint64_t> MakerOf(const LeftoverForm& form, std::string_view name) {
    const std::string start = form.prefix + std::string(form.marker) + ThisMachineTag() + "-";
    if (!name.starts_with(start) || !name.ends_with(form.suffix)) return std::nullopt;
    if (name.size() < start.size() + form.suffix.size()) return std::nullopt;
    name.remove_prefix(start.size());
    name.remove_suffix(form.suffix.size());
    const std::size_t end = name.find_first_of("-.");
    if (end == std::string_view::npos) return std::nullopt;
    std::string_view id = name.substr(0, end);
    const std::optional<std::uint64_t> process = TakeNumber(id, '\0');
    if (!process || !IsSerial(name.substr(end))) return std::nullopt;
    return process;
}

}  // namespace

const std::string& ThisMachineTag() {
    static const std::string tag = codec::HexHash(MachineIdentity());
    return tag;
}

std::string NewLeftoverName(const LeftoverForm& form) {
    return form.prefix + std::string(form.marker) + ThisMachineTag() + "-" +
           std::to_string(ThisProcessId()) + "-" + std::to_string(NextSerial()) + form.suffix;
}

bool IsLeftover(const LeftoverForm& form, std::string_view name) {
    // ProcessIsGone itself refuses an id the system's ids cannot be.
    const std::optional<std::uint64_t> process = MakerOf(form, name);
    return process && ProcessIsGone(*process);
}

void SweepLeftovers(const std::string& folder, LeftoverKind kind,
                    const std::function<bool(std::string_view name)>& isLeftover,
                    const std::function<void(const std::string& path)>& remove) {
    const folder_steps::Kind wanted =
        kind == LeftoverKind::Folder ? folder_steps::Kind::Folder : folder_steps::Kind::File;
    // Listed whole first: the removals do not change the listing they come from.
    std::vector<std::string> leftovers;
    for (const folder_steps::Entry& entry : folder_steps::ListEntries(folder))
        if (entry.kind == wanted && isLeftover(entry.name))
            leftovers.push_back(JoinPath(folder, entry.name));
    for (const std::string& leftover : leftovers) remove(leftover);
}

}  // namespace vb::platform
