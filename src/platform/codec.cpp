#include "platform/codec.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <map>
#include <stdexcept>
#include <vector>

#include "platform/codec_iconv.h"
#include "platform/codec_tables.h"
#include "platform/utf8.h"

namespace vb::platform::cp932 {

namespace {

constexpr char32_t kStandInBase = 0xF700;

// One conversion descriptor per direction and thread, opened on first use and reset before
// each conversion, so a run of many files pays for the set-up once.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much of [in, in+inLeft) as it can into out (appended). Returns errno of the
    // stop (0 when everything was converted); in/inLeft point at the unconverted rest.
    int Convert(const char*& in, std::size_t& inLeft, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        while (inLeft > 0) {
            const std::size_t used = out.size();
            const std::size_t room = inLeft * 4 + 16;
            out.resize(used + room);
            char* dst = out.data() + used;
            std::size_t dstLeft = room;
            char* src = const_cast<char*>(in);
            const std::size_t rc = iconv(cd_, &src, &inLeft, &dst, &dstLeft);
            const int err = rc == static_cast<std::size_t>(-1) ? errno : 0;
            out.resize(used + (room - dstLeft));
            in = src;
            if (err != 0 && err != E2BIG) return err;
        }
        return 0;
    }

  private:
    iconv_t cd_;
};

Converter& Decoder() {
    thread_local Converter c("UTF-8", "CP932");
    return c;
}

Converter& Encoder() {
    thread_local Converter c("CP932", "UTF-8");
    return c;
}

bool IsAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// The one character two bytes make in cp932, or 0 when they are not one character.
char32_t PairCharacter(char lead, char trail) {
    const char pair[2] = {lead, trail};
    const char* in = pair;
    std::size_t left = sizeof pair;
    std::string text;
    if (Decoder().Convert(in, left, text) != 0 || text.empty()) return 0;
    std::size_t pos = 0;
    const char32_t cp = utf8::DecodeAt(text, pos);
    return pos == text.size() ? cp : 0;
}

// The double-byte codes of every character that cp932 gives more than one (the IBM
// extensions and their NEC copies, among others), made once on first need.
using Codes = std::vector<std::array<char, 2>>;
const Codes& CodesOf(char32_t cp) {
    static const std::map<char32_t, Codes> duplicates = [] {
        std::map<char32_t, Codes> all;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char code[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                if (const char32_t c = PairCharacter(code[0], code[1]))
                    all[c].push_back({code[0], code[1]});
            }
        }
        std::erase_if(all, [](const auto& entry) { return entry.second.size() < 2; });
        return all;
    }();
    static const Codes none;
    const auto found = duplicates.find(cp);
    return found == duplicates.end() ? none : found->second;
}

// A carried byte that is a lead byte stood before a byte it did not pair with. When the
// character written after it has another code whose first byte would pair with it (FA4A
// written as 8754, say), the bytes would read back as a different text; that character
// then gets one of its other codes, which the original text must have used.
void KeepCarriedLeadsApart(std::string& out, const std::vector<std::size_t>& carriedLeads) {
    for (const std::size_t at : carriedLeads) {
        if (at + 2 >= out.size() ||
            std::binary_search(carriedLeads.begin(), carriedLeads.end(), at + 1))
            continue;
        if (!IsLeadByte(static_cast<unsigned char>(out[at + 1])) ||
            PairCharacter(out[at], out[at + 1]) == 0)
            continue;
        for (const auto& code : CodesOf(PairCharacter(out[at + 1], out[at + 2]))) {
            if (PairCharacter(out[at], code[0]) != 0) continue;
            out[at + 1] = code[0];
            out[at + 2] = code[1];
            break;
        }
    }
}

// UTF-8 to cp932 by the table when there is one, else by iconv a stretch at a time.
std::string EncodeWith(const tables::EncodeTable* table, std::string_view utf8Text) {
    if (IsAscii(utf8Text)) return std::string(utf8Text);
    std::string out;
    out.reserve(utf8Text.size() + 16);
    std::vector<std::size_t> carriedLeads;  // where carried lead bytes went, in order
    // What is written for a character iconv refuses at utf8Text[pos]; returns its length.
    const auto refused = [&](std::size_t pos) {
        const std::size_t start = pos;
        const char32_t cp = utf8::DecodeAt(utf8Text, pos);
        const std::size_t len = pos - start;
        const auto first = static_cast<unsigned char>(utf8Text[start]);
        if (IsStandIn(cp)) {
            const auto byte = static_cast<unsigned char>(cp - kStandInBase);
            if (IsLeadByte(byte)) carriedLeads.push_back(out.size());
            out += static_cast<char>(byte);
        } else if (len == 1 && first >= 0x80) {
            // A stray byte that is not UTF-8 goes out as it came in.
            out += static_cast<char>(first);
        } else {
            out += "&#" + std::to_string(static_cast<unsigned long>(cp)) + ';';
        }
        return len;
    };
    if (table) {
        tables::Encode(*table, utf8Text, out, refused);
    } else {
        const char* in = utf8Text.data();
        std::size_t left = utf8Text.size();
        while (left > 0) {
            if (Encoder().Convert(in, left, out) == 0) break;
            const std::size_t len = refused(static_cast<std::size_t>(in - utf8Text.data()));
            in += len;
            left -= len;
        }
    }
    if (!carriedLeads.empty()) KeepCarriedLeadsApart(out, carriedLeads);
    return out;
}

}  // namespace

char32_t StandInFor(unsigned char byte) { return kStandInBase + byte; }

bool IsStandIn(char32_t cp) { return cp >= kStandInBase + 0x80 && cp <= kStandInBase + 0xFF; }

std::string Decode(std::string_view bytes) {
    if (IsAscii(bytes)) return std::string(bytes);
    if (const tables::DecodeTable* table = tables::Decoding()) return tables::Decode(*table, bytes);
    return DecodeThroughIconv(bytes);
}

std::string DecodeThroughIconv(std::string_view bytes) {
    if (IsAscii(bytes)) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() * 3 / 2 + 16);
    const char* in = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        if (Decoder().Convert(in, left, out) == 0) break;
        // Not cp932 (or cut short at the end): carry the byte as its stand-in.
        utf8::Append(out, StandInFor(static_cast<unsigned char>(*in)));
        ++in;
        --left;
    }
    return out;
}

std::string Encode(std::string_view utf8Text, Unmappable) {
    return EncodeWith(tables::Encoding(), utf8Text);
}

std::string EncodeThroughIconv(std::string_view utf8Text) { return EncodeWith(nullptr, utf8Text); }

bool CanEncode(char32_t cp) {
    if (cp < 0x80 || IsStandIn(cp)) return true;
    std::string one;
    utf8::Append(one, cp);
    const char* in = one.data();
    std::size_t left = one.size();
    std::string out;
    return Encoder().Convert(in, left, out) == 0;
}

bool AppendReencoded(std::string& out, std::string_view bytes) {
    const tables::ReencodeTable* table = tables::Reencoding();
    return table != nullptr && tables::AppendReencoded(*table, bytes, out);
}

std::size_t CharacterLength(unsigned char first) {
    if (const tables::ReencodeTable* table = tables::Reencoding())
        return table->lead[first] ? 2 : 1;
    return IsLeadByte(first) ? 2 : 1;
}

bool EncodesCharacterByCharacter(std::string_view text) {
    const auto continuation = [&text](std::size_t at) {
        return at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
    };
    for (std::size_t pos = 0; pos < text.size();) {
        const auto lead = static_cast<unsigned char>(text[pos]);
        const std::size_t length = lead < 0x80                    ? 1
                                   : lead >= 0xC2 && lead <= 0xDF ? 2
                                   : lead >= 0xE0 && lead <= 0xEF ? 3
                                   : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                                  : 0;
        if (length == 0) return false;
        for (std::size_t i = 1; i < length; ++i)
            if (!continuation(pos + i)) return false;
        if (length > 2) {
            // No overlong forms, no surrogates, nothing beyond U+10FFFF.
            const auto second = static_cast<unsigned char>(text[pos + 1]);
            if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
                (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90))
                return false;
        }
        std::size_t next = pos;
        if (IsStandIn(utf8::DecodeAt(text, next))) return false;
        pos += length;
    }
    return true;
}

}  // namespace vb::platform::cp932
