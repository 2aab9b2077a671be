#include "settings/setting_value.h"

#include <optional>

#include "codec/codec.h"
#include "codec/utf8.h"

namespace vb::settings {

namespace {

constexpr char32_t kAmpersand = U'&';
constexpr char32_t kMaxCodePoint = 0x10FFFF;

bool IsSurrogate(char32_t cp) { return cp >= 0xD800 && cp <= 0xDFFF; }

void AppendReference(std::string& out, char32_t cp) {
    out += "&#";
    out += std::to_string(static_cast<unsigned long>(cp));
    out += ';';
}

// Parses "&#N;" at pos: the code point and the length of the reference.
struct Reference {
    char32_t codePoint;
    std::size_t length;
};

std::optional<Reference> ParseReference(std::string_view text, std::size_t pos) {
    if (text.substr(pos, 2) != "&#") return std::nullopt;
    std::size_t i = pos + 2;
    unsigned long value = 0;
    const std::size_t digitsStart = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - digitsStart < 7) {
        value = value * 10 + static_cast<unsigned long>(text[i] - '0');
        ++i;
    }
    if (i == digitsStart || i >= text.size() || text[i] != ';') return std::nullopt;
    return Reference{static_cast<char32_t>(value), i + 1 - pos};
}

// True when a stored reference stands for a character (rather than being text as written).
// A carried byte's stand-in is stored as a reference where its byte would pair with the next.
bool IsStoredEscape(std::string_view text, const Reference& ref, std::size_t pos) {
    if (ref.codePoint == kAmpersand) return text.substr(pos + ref.length, 1) == "#";
    if (ref.codePoint == 0 || ref.codePoint > kMaxCodePoint || IsSurrogate(ref.codePoint))
        return false;
    return codec::cp932::IsStandIn(ref.codePoint) || !Cp932HoldsExactly(ref.codePoint);
}

// A carried byte (a stand-in) is stored as the byte itself, unless that byte and the first
// stored byte of the character after it would read back as one double-byte character.
bool PairsWithNext(char32_t standIn, std::string_view utf8, std::size_t next) {
    if (next >= utf8.size()) return false;
    std::size_t end = next;
    codec::utf8::DecodeAt(utf8, end);
    const std::string following = EncodeSettingValue(utf8.substr(next, end - next));
    if (following.empty()) return false;
    const char pair[2] = {static_cast<char>(standIn - codec::cp932::StandInFor(0)), following[0]};
    const std::string read = codec::cp932::Decode(std::string_view(pair, 2));
    std::size_t pos = 0;
    const char32_t first = codec::utf8::DecodeAt(read, pos);
    return pos == read.size() && !codec::cp932::IsStandIn(first);
}

}  // namespace

bool Cp932HoldsExactly(char32_t cp) {
    if (cp < 0x80) return true;
    if (!codec::cp932::CanEncode(cp)) return false;
    std::string one;
    codec::utf8::Append(one, cp);
    return codec::cp932::Decode(codec::cp932::Encode(one)) == one;
}

std::string EncodeSettingValue(std::string_view utf8) {
    std::string escaped;
    escaped.reserve(utf8.size() + 8);
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t start = pos;
        const char32_t cp = codec::utf8::DecodeAt(utf8, pos);
        const std::string_view original = utf8.substr(start, pos - start);
        const bool malformed = original.size() == 1 && cp >= 0x80;
        if (cp == U'\r' || cp == U'\n') {
            escaped += ' ';
        } else if (cp == kAmpersand && utf8.substr(pos, 1) == "#") {
            AppendReference(escaped, kAmpersand);
        } else if (codec::cp932::IsStandIn(cp) && PairsWithNext(cp, utf8, pos)) {
            AppendReference(escaped, cp);
        } else if (malformed || Cp932HoldsExactly(cp)) {
            escaped += original;  // stray bytes go out unchanged, as the codec carries them
        } else {
            AppendReference(escaped, cp);
        }
    }
    return codec::cp932::Encode(escaped);
}

std::string DecodeSettingValue(std::string_view cp932Bytes) {
    const std::string text = codec::cp932::Decode(cp932Bytes);
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        if (text[pos] == '&') {
            const auto ref = ParseReference(text, pos);
            if (ref && IsStoredEscape(text, *ref, pos)) {
                codec::utf8::Append(out, ref->codePoint);
                pos += ref->length;
                continue;
            }
        }
        out += text[pos++];
    }
    return out;
}

}  // namespace vb::settings
