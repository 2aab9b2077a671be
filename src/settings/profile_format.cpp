#include "settings/profile_format.h"

#include <optional>
#include <vector>

namespace vb::settings::profile {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

// cp932 double-byte characters start with one of these bytes. Their second byte can be an
// ASCII letter or "[", "]", so text is walked a character at a time, never a byte.
bool IsLeadByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

std::size_t CharLength(std::string_view text, std::size_t pos) {
    return IsLeadByte(text[pos]) && pos + 1 < text.size() ? 2 : 1;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Equal names without regard to the case of ASCII letters; double-byte characters compare
// exactly.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size();) {
        const std::size_t len = CharLength(a, i);
        if (len == 2) {
            if (a.substr(i, 2) != b.substr(i, 2)) return false;
        } else if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
        i += len;
    }
    return true;
}

// Finds a single-byte character, stepping over double-byte characters.
std::size_t FindChar(std::string_view text, char wanted, std::size_t from = 0) {
    for (std::size_t i = from; i < text.size(); i += CharLength(text, i))
        if (text[i] == wanted) return i;
    return std::string_view::npos;
}

// One line of the file: where it starts, the text without its line break, and how many bytes
// that break takes: 2 for CR LF, 1 for a lone LF or a lone CR, 0 for an unterminated last line.
struct Line {
    std::size_t start = 0;
    std::string_view text;
    std::size_t breakLength = 0;

    bool Terminated() const { return breakLength != 0; }
    std::size_t End() const { return start + text.size() + breakLength; }
};

// A line ends at CR LF, at a lone LF or at a lone CR, as the system's own profile reader
// splits a file that an editor saved with other line ends than ours.
std::vector<Line> SplitLines(std::string_view file) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < file.size()) {
        const std::size_t brk = file.find_first_of("\r\n", pos);
        if (brk == std::string_view::npos) {
            lines.push_back({pos, file.substr(pos), 0});
            break;
        }
        const std::size_t length = file.substr(brk, 2) == kLineBreak ? 2 : 1;
        lines.push_back({pos, file.substr(pos, brk - pos), length});
        pos = brk + length;
    }
    return lines;
}

// The section name when the line is a header.
std::optional<std::string_view> HeaderName(std::string_view line) {
    std::size_t pos = 0;
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos == line.size() || line[pos] != '[') return std::nullopt;
    const std::size_t close = FindChar(line, ']', pos + 1);
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(pos + 1, close - pos - 1));
}

// Position of the "=" when the line is an entry ("=" is never the second byte of a
// double-byte character, so a plain search is safe).
std::optional<std::size_t> EntryEquals(std::string_view line) {
    if (HeaderName(line)) return std::nullopt;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return eq;
}

// Where a section lies in the line list: its header and one past its last line.
struct SectionSpan {
    std::size_t header;
    std::size_t end;
};

std::optional<SectionSpan> FindSection(const std::vector<Line>& lines, std::string_view section) {
    const std::string_view wanted = Trim(section);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = HeaderName(lines[i].text);
        if (!name || !SameName(*name, wanted)) continue;
        std::size_t end = i + 1;
        while (end < lines.size() && !HeaderName(lines[end].text)) ++end;
        return SectionSpan{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> FindEntry(const std::vector<Line>& lines, SectionSpan span,
                                     std::string_view key) {
    const std::string_view wanted = Trim(key);
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        const auto eq = EntryEquals(lines[i].text);
        if (eq && SameName(Trim(lines[i].text.substr(0, *eq)), wanted)) return i;
    }
    return std::nullopt;
}

// The longest prefix of at most maxBytes that does not end inside a double-byte character.
std::string_view CutAtCharacter(std::string_view text, std::size_t maxBytes) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t len = CharLength(text, pos);
        if (pos + len > maxBytes) break;
        pos += len;
    }
    return text.substr(0, pos);
}

std::string EntryLine(std::string_view key, std::string_view storedValue) {
    std::string line;
    line.reserve(key.size() + 1 + storedValue.size() + kLineBreak.size());
    line.append(key).append("=").append(storedValue).append(kLineBreak);
    return line;
}

// The file with text inserted after the given line, giving that line a CR LF first when it
// is the unterminated last line.
std::string InsertAfter(std::string_view file, const Line& line, std::string_view text) {
    std::string out(file.substr(0, line.End()));
    if (!line.Terminated()) out.append(kLineBreak);
    out.append(text);
    out.append(file.substr(line.End()));
    return out;
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

// True when the value begins and ends with the same quote character: a read drops that one
// pair, as the system's profile reader does ("Summer sale" in quotes reads without them).
bool IsQuoted(std::string_view value) {
    return value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front();
}

// The value as read: one pair of matching quotes around it dropped.
std::string_view Unquoted(std::string_view value) {
    return IsQuoted(value) ? value.substr(1, value.size() - 2) : value;
}

// The value as stored: a value that a read would take as quoted (once its blanks are trimmed)
// is stored inside one more pair of the same quotes, so that it reads back as written less
// its outer blanks, as every value does; every other value is stored as it is.
std::string StoredValue(std::string_view value) {
    const std::string_view trimmed = Trim(value);
    if (!IsQuoted(trimmed)) return std::string(value);
    std::string stored;
    stored.reserve(trimmed.size() + 2);
    stored.append(1, trimmed.front()).append(trimmed).append(1, trimmed.front());
    return stored;
}

// True when the file's last line lacks a line break of its own.
bool EndsInsideALine(std::string_view file) {
    return !file.empty() && file.back() != '\n' && file.back() != '\r';
}

// The name as SameName compares it: ASCII letters of single-byte characters in lower case,
// double-byte characters as they are. Two names are SameName exactly when these are equal.
std::string FoldedName(std::string_view name) {
    std::string folded(name);
    for (std::size_t i = 0; i < folded.size(); i += CharLength(folded, i))
        if (CharLength(folded, i) == 1) folded[i] = AsciiLower(folded[i]);
    return folded;
}

}  // namespace

ParsedFile::ParsedFile(std::string bytes) : bytes_(std::move(bytes)) {
    // Entries of a section met before (a second header of a name) and lines before the first
    // header belong to no section that a read finds.
    std::unordered_map<std::string, std::string_view>* current = nullptr;
    for (const Line& line : SplitLines(bytes_)) {
        if (const auto name = HeaderName(line.text)) {
            const auto [at, made] = sections_.try_emplace(FoldedName(*name));
            current = made ? &at->second : nullptr;
            continue;
        }
        const std::size_t eq = line.text.find('=');
        if (!current || eq == std::string_view::npos) continue;
        current->try_emplace(FoldedName(Trim(line.text.substr(0, eq))),
                             Unquoted(Trim(line.text.substr(eq + 1))));
    }
}

std::string ParsedFile::ReadValue(std::string_view section, std::string_view key) const {
    const auto found = sections_.find(FoldedName(Trim(section)));
    if (found == sections_.end()) return {};
    const auto entry = found->second.find(FoldedName(Trim(key)));
    if (entry == found->second.end()) return {};
    return std::string(CutAtCharacter(entry->second, kReadBufferSize - 1));
}

std::string ReadValue(std::string_view file, std::string_view section, std::string_view key) {
    return ParsedFile(std::string(file)).ReadValue(section, key);
}

std::string WriteValue(std::string_view file, std::string_view section, std::string_view key,
                       std::string_view value) {
    const std::string stored = StoredValue(value);
    const auto lines = SplitLines(file);
    const auto span = FindSection(lines, section);
    if (!span) {
        std::string out(file);
        if (EndsInsideALine(out)) out.append(kLineBreak);
        out.append("[").append(section).append("]").append(kLineBreak);
        out.append(EntryLine(key, stored));
        return out;
    }
    if (const auto entry = FindEntry(lines, *span, key)) {
        // The changed line ends with CR LF (an unterminated last line stays so); the text up
        // to its "=" and every other line keep their bytes.
        const Line& line = lines[*entry];
        const std::size_t valueStart = line.start + *EntryEquals(line.text) + 1;
        std::string out(file.substr(0, valueStart));
        out.append(stored);
        if (line.Terminated()) out.append(kLineBreak);
        out.append(file.substr(line.End()));
        return out;
    }
    std::size_t anchor = span->header;
    for (std::size_t i = span->header + 1; i < span->end; ++i)
        if (EntryEquals(lines[i].text)) anchor = i;
    return InsertAfter(file, lines[anchor], EntryLine(key, stored));
}

}  // namespace vb::settings::profile
