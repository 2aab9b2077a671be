#include "codec/codec.h"

#include "codec/codec_refusals.h"
#include "codec/codec_tables.h"
#include "codec/utf8.h"

namespace vb::codec::cp932 {

namespace {

constexpr char32_t kStandInBase = 0xF700;

bool IsAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

void EncodeByTable(std::string_view text, std::string& out, const RefusedHandler& refused) {
    tables::Encode(tables::Encoding(), text, out, refused);
}

}  // namespace

char32_t StandInFor(unsigned char byte) { return kStandInBase + byte; }

bool IsStandIn(char32_t cp) { return cp >= kStandInBase + 0x80 && cp <= kStandInBase + 0xFF; }

std::string Decode(std::string_view bytes) {
    if (IsAscii(bytes)) return std::string(bytes);
    return tables::Decode(tables::Decoding(), bytes);
}

std::string Encode(std::string_view utf8Text) {
    if (IsAscii(utf8Text)) return std::string(utf8Text);
    return EncodeThrough(EncodeByTable, utf8Text);
}

bool CanEncode(char32_t cp) {
    if (cp < 0x80 || IsStandIn(cp)) return true;
    if (cp < 0x10000) return tables::Encoding().codes[cp] != tables::kNoCode;
    return tables::IsDropped(cp);  // written as nothing, which is no refusal
}

bool AppendReencoded(std::string& out, std::string_view bytes) {
    return tables::AppendReencoded(tables::Reencoding(), bytes, out);
}

std::size_t CharacterLength(unsigned char first) {
    return tables::Reencoding().lead[first] ? 2 : 1;
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

}  // namespace vb::codec::cp932
