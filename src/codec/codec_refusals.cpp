#include "codec/codec_refusals.h"

#include <algorithm>
#include <array>
#include <map>
#include <vector>

#include "codec/codec.h"
#include "codec/codec_tables.h"
#include "codec/utf8.h"

namespace vb::codec::cp932 {

namespace {

bool IsLeadByte(unsigned char b) { return tables::Decoding().lead[b]; }

// The one character two bytes make in cp932, or 0 when they are not one character.
char32_t PairCharacter(char lead, char trail) {
    const tables::DecodeTable& table = tables::Decoding();
    const auto first = static_cast<unsigned char>(lead);
    if (!table.lead[first]) return 0;
    const tables::Utf8Char& c = table.pairs[first * 256 + static_cast<unsigned char>(trail)];
    std::size_t pos = 0;
    return c.size == 0 ? 0 : utf8::DecodeAt(std::string_view(c.bytes, c.size), pos);
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

}  // namespace

std::string EncodeThrough(Conversion convert, std::string_view utf8Text) {
    std::string out;
    out.reserve(utf8Text.size() + 16);
    std::vector<std::size_t> carriedLeads;  // where carried lead bytes went, in order
    const auto refused = [&](std::size_t pos) {
        const std::size_t start = pos;
        const char32_t cp = utf8::DecodeAt(utf8Text, pos);
        const std::size_t len = pos - start;
        const auto first = static_cast<unsigned char>(utf8Text[start]);
        if (IsStandIn(cp)) {
            const auto byte = static_cast<unsigned char>(cp - StandInFor(0));
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
    convert(utf8Text, out, refused);
    if (!carriedLeads.empty()) KeepCarriedLeadsApart(out, carriedLeads);
    return out;
}

}  // namespace vb::codec::cp932
