#pragma once

#include <cstdlib>
#include <string>

// The values the save-kill tests write round after round: each key's length changes from
// round to round, so a torn write shows as a cut or mixed value, and the file's length
// changes too.
namespace vb::settings::test_rounds {

inline std::string ValueFor(int round, int key) {
    const std::size_t filler = static_cast<std::size_t>((round * 37 + key * 11) % 400);
    std::string value = "r" + std::to_string(round) + ":";
    for (std::size_t i = 0; i < filler; ++i) value += (i % 2 ? "x" : "あ");
    return value + ":end";
}

// The round a loaded value belongs to, or -1 when it is not a whole value of any round.
inline int RoundOf(const std::string& value, int key) {
    if (value.size() < 2 || value[0] != 'r') return -1;
    const int round = std::atoi(value.c_str() + 1);
    return value == ValueFor(round, key) ? round : -1;
}

}  // namespace vb::settings::test_rounds
