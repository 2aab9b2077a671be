// The cp932 codec on any bytes: decoding never fails; every byte that is not cp932 comes
// back exactly where it stood when the text is written back; every valid character comes
// back as itself or as another code of the same character (cp932 has duplicates such as
// FA4A and 8754); and decode(encode(decode(b))) == decode(b). Encoding any UTF-8 (valid or
// not) never fails, and the UTF-8 helpers cut and count any bytes consistently.
#include <string>
#include <string_view>

#include "codec/codec.h"
#include "codec/utf8.h"
#include "fuzz_support.h"

namespace {

using vb::fuzz::Shown;
namespace cp932 = vb::codec::cp932;
namespace utf8 = vb::codec::utf8;

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// The one code point the bytes decode to, or 0 when they decode to none or several.
char32_t SingleCodePoint(std::string_view bytes) {
    const std::string text = cp932::Decode(bytes);
    std::size_t pos = 0;
    if (text.empty()) return 0;
    const char32_t cp = utf8::DecodeAt(text, pos);
    return pos == text.size() ? cp : 0;
}

// Walks the input one cp932 character at a time and compares it with the same place in the
// re-encoded bytes.
void CheckCharacterByCharacter(std::string_view input, std::string_view reencoded) {
    // Built only when a property breaks.
    const auto detail = [&] {
        return std::string("input " + Shown(input) + "\nre-encoded " + Shown(reencoded));
    };
    VB_FUZZ_CHECK(reencoded.size() == input.size(), detail());
    for (std::size_t i = 0; i < input.size();) {
        const auto b = static_cast<unsigned char>(input[i]);
        const char32_t pair =
            i + 1 < input.size() && IsLeadByte(b) ? SingleCodePoint(input.substr(i, 2)) : 0;
        if (pair != 0 && !cp932::IsStandIn(pair)) {
            // A double-byte character: the same character, maybe under another code.
            VB_FUZZ_CHECK(SingleCodePoint(reencoded.substr(i, 2)) == pair,
                          "at " + std::to_string(i) + "\n" + detail());
            i += 2;
        } else {
            // A single byte: ASCII, half-width katakana, or a byte that is not cp932.
            VB_FUZZ_CHECK(reencoded[i] == input[i], "at " + std::to_string(i) + "\n" + detail());
            ++i;
        }
    }
}

void CheckUtf8Helpers(std::string_view text) {
    const std::size_t length = utf8::Length(text);
    VB_FUZZ_CHECK(length <= text.size(), Shown(text));
    // Any cut gives back the whole text when its pieces are joined.
    const std::size_t cut = text.empty() ? 0 : static_cast<unsigned char>(text[0]) % (length + 1);
    const std::string_view head = utf8::Substr(text, 0, cut);
    const std::string_view tail = utf8::Substr(text, cut, text.size());
    VB_FUZZ_CHECK(std::string(head) + std::string(tail) == text, Shown(text));
    VB_FUZZ_CHECK(utf8::Length(head) == cut, Shown(text));
    VB_FUZZ_CHECK(utf8::Substr(text, length, 5).empty(), Shown(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::string decoded = cp932::Decode(bytes);
    VB_FUZZ_CHECK(vb::fuzz::IsValidUtf8(decoded), Shown(bytes) + " -> " + Shown(decoded));
    const std::string reencoded = cp932::Encode(decoded);
    CheckCharacterByCharacter(bytes, reencoded);
    VB_FUZZ_CHECK(cp932::Decode(reencoded) == decoded,
                  "input " + Shown(bytes) + "\nre-encoded " + Shown(reencoded));

    // The same bytes taken as UTF-8 typed text: encoding never fails, and what it makes
    // decodes to valid UTF-8 again.
    const std::string fromText = cp932::Encode(bytes);
    VB_FUZZ_CHECK(vb::fuzz::IsValidUtf8(cp932::Decode(fromText)), Shown(bytes));
    if (vb::fuzz::IsValidUtf8(bytes) && bytes.find("&#") == std::string_view::npos) {
        // Characters cp932 lacks become "&#N;", never "?": a "?" out means a "?" in.
        std::size_t questionsIn = 0, questionsOut = 0;
        for (char c : bytes) questionsIn += c == '?';
        for (char c : fromText) questionsOut += c == '?';
        VB_FUZZ_CHECK(questionsOut == questionsIn, Shown(bytes) + " -> " + Shown(fromText));
    }

    CheckUtf8Helpers(bytes);
    CheckUtf8Helpers(decoded);
    return 0;
}
