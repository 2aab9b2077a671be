#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Names of what the program puts beside a user's files for a moment (a save's temporary file,
// a folder moved aside while it is deleted), and the sweep that removes those a process that
// ended half-way (a crash, a kill, the machine down) left behind.
//
// Every such name says what it is (a marker no user would type), the machine that made it and
// the process that made it, then a serial: prefix + marker + machine tag + "-" + process id +
// "-" + serial + suffix. A leftover is a name of exactly that form, of this machine, whose
// process has surely ended: neither a user's file nor the file of a save still running (here,
// or on another machine sharing the folder) is ever taken for one.
namespace vb::platform {

// One kind of such names: what stands before the marker, the marker, what ends the name.
struct LeftoverForm {
    std::string prefix;
    std::string_view marker;
    std::string suffix;
};

// This machine as the names write it: 16 hexadecimal digits made from the machine's identity
// (MachineIdentity).
const std::string& ThisMachineTag();

// A new name of the form for this process: its serial rises with the steady clock and past
// every serial the process gave before, so that two names of one process never meet.
std::string NewLeftoverName(const LeftoverForm& form);

// True only for a name of exactly the form, made on this machine, by a process that the system
// says has ended. The serial is one decimal number as NewLeftoverName writes it; the names of
// earlier versions are leftovers too: two numbers (a counter and the clock, Windows saves) or
// "." and six letters or digits (mkostemp's, POSIX saves).
bool IsLeftover(const LeftoverForm& form, std::string_view name);

// What the sweep removes: plain files, or folders (with what they hold). Links are never
// taken for either.
enum class LeftoverKind { PlainFile, Folder };

// Lists the folder, then hands remove the path of each entry of the kind whose name
// isLeftover takes. Best effort: a folder that cannot be listed sweeps nothing, and what
// remove cannot remove stays.
void SweepLeftovers(const std::string& folder, LeftoverKind kind,
                    const std::function<bool(std::string_view name)>& isLeftover,
                    const std::function<void(const std::string& path)>& remove);

}  // namespace vb::platform
