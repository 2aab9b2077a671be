// The settings file's reader and writer on any file: reading never crashes and never yields
// more than the read buffer or a line break; writing a key makes that key read back as the
// stored value, changes no other line, leaves every other key's value as it was, and a second
// identical write changes nothing.
//
// Fields: the file's bytes, the section name, the key name, the value as typed (UTF-8, at
// most 512 bytes of it: a typed value is converted a character at a time, and longer ones
// only cost time), and an optional length: when given, the stored value is repeated to
// about 10,100 + its first byte bytes, so values around the read buffer's size come from
// small inputs.
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "settings/profile_format.h"
#include "settings/setting_value.h"

namespace {

using vb::fuzz::Shown;
namespace profile = vb::settings::profile;

constexpr std::size_t kMaxValueBytes = profile::kReadBufferSize - 1;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// A section or key name as the program writes them: printable ASCII without the characters
// that the format reserves ("[", "]", "="). Anything else falls back to a fixed name.
std::string ProgramName(const std::string& fuzzed, const char* fallback) {
    std::string name;
    for (char c : fuzzed) {
        const bool printable = c >= 0x20 && c < 0x7F;
        if (printable && c != '[' && c != ']' && c != '=') name += c;
    }
    return Trim(name).empty() ? std::string(fallback) : name;
}

// A line and the bytes of its line end: CR LF, a lone LF or a lone CR, none at the end.
struct Line {
    std::string_view text;
    std::size_t breakLength;
};

// A line kept by a write: the same text and line end, or the old unterminated last line given
// a CR LF because a line now follows it.
bool Kept(const Line& old, const Line& now) {
    return old.text == now.text && (old.breakLength == now.breakLength || old.breakLength == 0);
}

std::vector<Line> Lines(std::string_view file) {
    std::vector<Line> lines;
    while (!file.empty()) {
        const std::size_t brk = file.find_first_of("\r\n");
        if (brk == std::string_view::npos) {
            lines.push_back({file, 0});
            break;
        }
        const std::size_t length = file.substr(brk, 2) == "\r\n" ? 2 : 1;
        lines.push_back({file.substr(0, brk), length});
        file.remove_prefix(brk + length);
    }
    return lines;
}

// Loosely equal names: ASCII letters folded byte for byte. Wider than the format's own rule
// (which never folds the second byte of a double-byte character), so it only ever skips
// a comparison that might legitimately differ.
bool LooselySame(std::string_view a, std::string_view b) {
    a = Trim(a);
    b = Trim(b);
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// The first (section, key) pairs named in the file, as a reader would look them up; a
// handful, to keep each input fast.
std::vector<std::pair<std::string, std::string>> NamedEntries(const std::vector<Line>& lines) {
    std::vector<std::pair<std::string, std::string>> entries;
    std::string section;
    for (const Line& line : lines) {
        const std::string_view t = Trim(line.text);
        if (!t.empty() && t.front() == '[' && t.find(']') != std::string_view::npos) {
            section = std::string(t.substr(1, t.find(']') - 1));
        } else if (const auto eq = line.text.find('='); eq != std::string_view::npos) {
            entries.emplace_back(section, std::string(line.text.substr(0, eq)));
        }
        if (entries.size() >= 8) break;
    }
    return entries;
}

void CheckRead(std::string_view file, const std::string& section, const std::string& key) {
    const std::string value = profile::ReadValue(file, section, key);
    VB_FUZZ_CHECK(value.size() <= kMaxValueBytes, Shown(value));
    VB_FUZZ_CHECK(value.find_first_of("\r\n") == std::string::npos, Shown(value));
    VB_FUZZ_CHECK(value.empty() || (!IsBlank(value.front()) && !IsBlank(value.back())),
                  Shown(value));
}

// The new file holds the old lines in order, with exactly the lines of one write added or
// replaced: one entry replaced, one entry inserted, or a header and an entry appended.
void CheckOtherLinesKept(const std::string& before, const std::string& after,
                         const std::string& entryStart) {
    if (after == before) return;  // the key held this value already
    const auto oldLines = Lines(before);
    const auto newLines = Lines(after);
    std::size_t head = 0;
    while (head < oldLines.size() && head < newLines.size() && Kept(oldLines[head], newLines[head]))
        ++head;
    std::size_t tail = 0;
    while (tail < oldLines.size() - head && tail < newLines.size() - head &&
           Kept(oldLines[oldLines.size() - 1 - tail], newLines[newLines.size() - 1 - tail]))
        ++tail;
    const std::size_t oldMiddle = oldLines.size() - head - tail;
    const std::size_t newMiddle = newLines.size() - head - tail;
    // Built only when a property breaks.
    const auto detail = [&] {
        return std::string("before " + Shown(before) + "\nafter " + Shown(after));
    };
    VB_FUZZ_CHECK(oldMiddle <= 1 && newMiddle >= 1 && newMiddle <= 2, detail());
    if (oldMiddle == 1) {
        // The entry's own line: the text up to its "=" stays as it was.
        const std::string_view old = oldLines[head].text;
        const std::string_view now = newLines[head].text;
        VB_FUZZ_CHECK(newMiddle == 1, detail());
        const std::size_t eq = old.find('=');
        VB_FUZZ_CHECK(
            eq != std::string_view::npos && now.substr(0, eq + 1) == old.substr(0, eq + 1),
            detail());
    } else {
        VB_FUZZ_CHECK(newLines[head + newMiddle - 1].text.starts_with(entryStart), detail());
    }
    // Bytes: only a missing CR LF of an old last line may be added besides the new lines.
    std::size_t expected = before.size();
    for (std::size_t i = head; i < head + oldMiddle; ++i) expected -= oldLines[i].text.size();
    for (std::size_t i = head; i < head + newMiddle; ++i)
        expected += newLines[i].text.size() + newLines[i].breakLength;
    if (oldMiddle == 1) expected -= oldLines[head].breakLength;
    const bool oldEndsOpen = !oldLines.empty() && oldLines.back().breakLength == 0;
    if (oldEndsOpen && after.size() == expected + 2) expected += 2;
    VB_FUZZ_CHECK(after.size() == expected, detail());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vb::fuzz::Fields fields(data, size);
    const std::string file = fields.Next();
    const std::string rawSection = fields.Next();
    const std::string rawKey = fields.Next();
    const std::string typed = fields.Next().substr(0, 512);
    const std::string length = fields.Next();

    // Any names, even ones the program never uses, only have to be read safely.
    CheckRead(file, rawSection, rawKey);

    const std::string section = ProgramName(rawSection, "Setting");
    const std::string key = ProgramName(rawKey, "Key");
    std::string stored = vb::settings::EncodeSettingValue(typed);
    VB_FUZZ_CHECK(stored.find('\r') == std::string::npos && stored.find('\n') == std::string::npos,
                  "a stored value must stay on its line: " + Shown(stored));
    const bool repeated = !length.empty() && !stored.empty();
    if (repeated) {
        const std::size_t wanted = 10100 + static_cast<unsigned char>(length[0]);
        const std::string unit = stored;
        while (stored.size() < wanted) stored += unit;
    }

    const std::string written = profile::WriteValue(file, section, key, stored);
    const std::string readBack = profile::ReadValue(written, section, key);
    const std::string_view expected = Trim(stored);
    // Built only when a property breaks.
    const auto detail = [&] {
        return std::string("file " + Shown(file) + "\nsection " + Shown(section) + " key " +
                           Shown(key) + "\nstored " + Shown(stored) + "\nread " + Shown(readBack) +
                           "\nwritten " + Shown(written));
    };
    if (expected.size() <= kMaxValueBytes) {
        VB_FUZZ_CHECK(readBack == expected, detail());
    } else {
        // Cut at a character boundary: at most one byte short of the buffer.
        VB_FUZZ_CHECK(expected.starts_with(readBack) && readBack.size() + 1 >= kMaxValueBytes,
                      detail());
    }

    // A typed value of whole characters comes back as typed, line breaks as spaces and the
    // blanks at its ends dropped.
    if (!repeated && vb::fuzz::IsValidUtf8(typed) && expected.size() <= kMaxValueBytes &&
        typed.find('\0') == std::string::npos) {
        std::string asSaved = typed;
        for (char& c : asSaved)
            if (c == '\r' || c == '\n') c = ' ';
        const std::string loaded = vb::settings::DecodeSettingValue(readBack);
        VB_FUZZ_CHECK(loaded == Trim(asSaved),
                      "typed " + Shown(typed) + "\nloaded " + Shown(loaded) + "\n" + detail());
    }

    CheckOtherLinesKept(file, written, key + "=");

    for (const auto& [otherSection, otherKey] : NamedEntries(Lines(file))) {
        if (LooselySame(otherSection, section) && LooselySame(otherKey, key)) continue;
        VB_FUZZ_CHECK(profile::ReadValue(file, otherSection, otherKey) ==
                          profile::ReadValue(written, otherSection, otherKey),
                      "other key " + Shown(otherSection) + "/" + Shown(otherKey) + "\n" + detail());
    }

    VB_FUZZ_CHECK(profile::WriteValue(written, section, key, stored) == written, detail());
    return 0;
}
