#include "codec/codec_tables.h"

#include <algorithm>
#include <cstring>

#include "codec/codec.h"
#include "codec/utf8.h"

namespace vb::codec::cp932::tables {

namespace {

// The layout of the committed table; cp932_table.inc says what each array holds.
struct ByteRange {
    unsigned char first, last;
};
struct ByteRun {
    unsigned char first, last;
    char16_t character;
};
struct PairRun {
    std::uint16_t firstCode, count;
    char16_t character;
};
struct PairStretch {
    std::uint16_t firstCode, count;
};
struct CharacterForm {
    char16_t character;
    std::uint16_t code;
};
struct CharacterRange {
    char32_t first, last;
};

#include "codec/cp932_table.inc"

Utf8Char Utf8Of(char32_t cp) {
    std::string text;
    utf8::Append(text, cp);
    Utf8Char c;
    c.size = static_cast<std::uint8_t>(text.size());
    std::memcpy(c.bytes, text.data(), text.size());
    return c;
}

DecodeTable MakeDecodeTable() {
    DecodeTable table;
    for (const ByteRange& range : kLeadBytes)
        for (unsigned b = range.first; b <= range.last; ++b) table.lead[b] = true;
    // Not a character by itself (or a lead byte without its trail): its stand-in.
    for (unsigned b = 0; b < 256; ++b) table.alone[b] = Utf8Of(StandInFor(b));
    for (const ByteRun& run : kSingleBytes)
        for (unsigned b = run.first; b <= run.last; ++b)
            table.alone[b] = Utf8Of(run.character + (b - run.first));
    table.pairs.resize(256 * 256);
    for (const PairRun& run : kPairRuns)
        for (unsigned i = 0; i < run.count; ++i)
            table.pairs[run.firstCode + i] = Utf8Of(run.character + i);
    const char16_t* listed = kPairCharacters;
    for (const PairStretch& stretch : kPairStretches)
        for (unsigned i = 0; i < stretch.count; ++i)
            table.pairs[stretch.firstCode + i] = Utf8Of(*listed++);
    table.asciiSame = true;
    for (int b = 0; b < 0x80; ++b)
        table.asciiSame &= table.alone[b].size == 1 && table.alone[b].bytes[0] == b;
    return table;
}

// Each character takes the lowest code that decodes to it, unless kEncodings names
// another form (or none).
EncodeTable MakeEncodeTable() {
    EncodeTable table;
    table.codes.assign(0x10000, kNoCode);
    const auto offer = [&table](char32_t cp, unsigned code) {
        table.codes[cp] = std::min(table.codes[cp], static_cast<std::uint16_t>(code));
    };
    for (const ByteRun& run : kSingleBytes)
        for (unsigned b = run.first; b <= run.last; ++b) offer(run.character + (b - run.first), b);
    for (const PairRun& run : kPairRuns)
        for (unsigned i = 0; i < run.count; ++i) offer(run.character + i, run.firstCode + i);
    const char16_t* listed = kPairCharacters;
    for (const PairStretch& stretch : kPairStretches)
        for (unsigned i = 0; i < stretch.count; ++i) offer(*listed++, stretch.firstCode + i);
    for (const CharacterForm& form : kEncodings) table.codes[form.character] = form.code;
    table.asciiSame = true;
    for (char32_t cp = 0; cp < 0x80; ++cp) table.asciiSame &= table.codes[cp] == cp;
    return table;
}

char32_t CodePointOf(const Utf8Char& c) {
    std::size_t pos = 0;
    return utf8::DecodeAt(std::string_view(c.bytes, c.size), pos);
}

// The form Encode gives the character c, when that form decodes to c again (so that text
// kept in that form reads back as the same characters); kNoCode otherwise.
std::uint16_t ReencodedForm(const Utf8Char& c, const DecodeTable& dec, const EncodeTable& enc) {
    if (c.size == 0) return kNoCode;
    const char32_t cp = CodePointOf(c);
    if (IsStandIn(cp) || cp >= enc.codes.size()) return kNoCode;
    const std::uint16_t code = enc.codes[cp];
    if (code == kNoCode) return kNoCode;
    static const Utf8Char kNone;
    const Utf8Char& back = code < 0x100 ? (dec.lead[code] ? kNone : dec.alone[code])
                                        : (dec.lead[code >> 8] ? dec.pairs[code] : kNone);
    if (back.size != c.size || std::memcmp(back.bytes, c.bytes, c.size) != 0) return kNoCode;
    return code;
}

ReencodeTable MakeReencodeTable(const DecodeTable& dec, const EncodeTable& enc) {
    ReencodeTable table;
    table.lead = dec.lead;
    table.pairs.assign(256 * 256, kNoCode);
    for (int b = 0; b < 256; ++b) {
        if (dec.lead[b]) {
            table.alone[b] = kNoCode;
            for (int trail = 0; trail < 256; ++trail)
                table.pairs[b * 256 + trail] = ReencodedForm(dec.pairs[b * 256 + trail], dec, enc);
        } else {
            // A byte that is a character alone must stay one byte, so the result never
            // needs more room than the input.
            const std::uint16_t code = ReencodedForm(dec.alone[b], dec, enc);
            table.alone[b] = code < 0x100 ? code : kNoCode;
        }
    }
    table.asciiSame = dec.asciiSame && enc.asciiSame;
    return table;
}

}  // namespace

const DecodeTable& Decoding() {
    static const DecodeTable table = MakeDecodeTable();
    return table;
}

const EncodeTable& Encoding() {
    static const EncodeTable table = MakeEncodeTable();
    return table;
}

const ReencodeTable& Reencoding() {
    static const ReencodeTable table = MakeReencodeTable(Decoding(), Encoding());
    return table;
}

bool IsDropped(char32_t cp) {
    return std::any_of(
        std::begin(kDroppedCharacters), std::end(kDroppedCharacters),
        [cp](const CharacterRange& range) { return cp >= range.first && cp <= range.last; });
}

namespace {

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Copies the run of ASCII bytes at in[at] (up to end) eight at a time while all eight are
// ASCII; returns where the copy stopped. Markup and line breaks come in such runs.
std::size_t CopyAsciiRun(const unsigned char* in, std::size_t at, std::size_t end, char*& to) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
    while (end - at >= 8) {
        std::uint64_t eight;
        std::memcpy(&eight, in + at, 8);
        if (eight & kHighBits) break;
        std::memcpy(to, &eight, 8);
        to += 8;
        at += 8;
    }
    return at;
}

// The code point of a well-formed UTF-8 sequence of two or three bytes at text[at] (not
// overlong, not a surrogate), with its length; length 0 for anything else.
char32_t ShortSequenceAt(const unsigned char* text, std::size_t size, std::size_t at,
                         std::size_t& length) {
    length = 0;
    const unsigned char b0 = text[at];
    if (b0 >= 0xC2 && b0 <= 0xDF && at + 1 < size && IsContinuation(text[at + 1])) {
        length = 2;
        return static_cast<char32_t>((b0 & 0x1F) << 6 | (text[at + 1] & 0x3F));
    }
    if (b0 >= 0xE0 && b0 <= 0xEF && at + 2 < size && IsContinuation(text[at + 1]) &&
        IsContinuation(text[at + 2])) {
        const unsigned char b1 = text[at + 1];
        if ((b0 == 0xE0 && b1 < 0xA0) || (b0 == 0xED && b1 >= 0xA0)) return 0;
        length = 3;
        return static_cast<char32_t>((b0 & 0x0F) << 12 | (b1 & 0x3F) << 6 | (text[at + 2] & 0x3F));
    }
    return 0;
}

// The length of the well-formed four-byte sequence at text[at] when its character is
// dropped, else 0.
std::size_t DroppedLengthAt(std::string_view text, std::size_t at) {
    std::size_t end = at;
    const char32_t cp = utf8::DecodeAt(text, end);
    return end - at == 4 && IsDropped(cp) ? 4 : 0;
}

}  // namespace

std::string Decode(const DecodeTable& table, std::string_view bytes) {
    // No byte gives more than three bytes of UTF-8, stand-ins included; one more byte of
    // room lets every entry be copied whole.
    std::string out(bytes.size() * 3 + 1, '\0');
    char* to = out.data();
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    // The tables through local pointers: the compiler must assume that every byte written
    // to the output could change the table objects, and would read their pointers anew.
    const bool* const lead = table.lead.data();
    const Utf8Char* const alone = table.alone.data();
    const Utf8Char* const pairs = table.pairs.data();
    const bool asciiSame = table.asciiSame;
    for (std::size_t at = 0; at < size;) {
        const unsigned char b = in[at];
        if (b < 0x80 && asciiSame) {
            at = CopyAsciiRun(in, at, size, to);
            if (at < size && in[at] < 0x80) *to++ = static_cast<char>(in[at++]);
            continue;
        }
        const Utf8Char* c = &alone[b];
        std::size_t used = 1;
        if (lead[b] && at + 1 < size) {
            const Utf8Char& pair = pairs[b * 256 + in[at + 1]];
            if (pair.size != 0) {
                c = &pair;
                used = 2;
            }
        }
        std::memcpy(to, c, sizeof *c);
        to += c->size;
        at += used;
    }
    out.resize(static_cast<std::size_t>(to - out.data()));
    return out;
}

void Encode(const EncodeTable& table, std::string_view text, std::string& out,
            const std::function<std::size_t(std::size_t pos)>& refused) {
    // Bytes are written straight into room made ahead: a character the table holds never
    // gives more bytes than it takes (the three bytes of a character that starts just
    // before a block's end included). The room is made a block at a time: a whole-text
    // room would be zero-filled, and so take memory, long before it is written.
    constexpr std::size_t kBlock = 64 * 1024;
    constexpr std::size_t kSpill = 4;
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    const std::uint16_t* const codes = table.codes.data();  // see Decode
    const bool asciiSame = table.asciiSame;
    out.reserve(out.size() + size);
    char* to = nullptr;
    std::size_t blockEnd = 0;
    const auto makeRoom = [&](std::size_t from) {
        const std::size_t written = out.size();
        blockEnd = std::min(size, from + kBlock);
        out.resize(written + (blockEnd - from) + kSpill);
        to = out.data() + written;
    };
    for (std::size_t at = 0; at < size;) {
        makeRoom(at);
        while (at < blockEnd) {
            const unsigned char b = in[at];
            if (b < 0x80 && asciiSame) {
                at = CopyAsciiRun(in, at, blockEnd, to);
                if (at < blockEnd && in[at] < 0x80) *to++ = static_cast<char>(in[at++]);
                continue;
            }
            std::size_t length = 3;
            char32_t cp;
            if (b > 0xE0 && b <= 0xEF && b != 0xED && at + 2 < size && IsContinuation(in[at + 1]) &&
                IsContinuation(in[at + 2])) {
                // Most characters of Japanese text: three bytes, no special case to check.
                cp = static_cast<char32_t>((b & 0x0F) << 12 | (in[at + 1] & 0x3F) << 6 |
                                           (in[at + 2] & 0x3F));
            } else {
                length = 1;
                cp = b < 0x80 ? b : ShortSequenceAt(in, size, at, length);
            }
            const std::uint16_t code = length != 0 ? codes[cp] : kNoCode;
            if (code < 0x100) {
                *to++ = static_cast<char>(code);
            } else if (code != kNoCode) {
                *to++ = static_cast<char>(code >> 8);
                *to++ = static_cast<char>(code & 0xFF);
            } else {
                // A character iconv refuses, or one the table does not hold: four bytes
                // (converted to nothing when dropped, else refused) or no UTF-8.
                out.resize(static_cast<std::size_t>(to - out.data()));
                length = length == 0 ? DroppedLengthAt(text, at) : 0;
                if (length == 0) length = refused(at);
                makeRoom(at + length);
            }
            at += length;
        }
        out.resize(static_cast<std::size_t>(to - out.data()));
    }
}

bool AppendReencoded(const ReencodeTable& table, std::string_view bytes, std::string& out) {
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    const bool* const lead = table.lead.data();  // local pointers: see Decode
    const std::uint16_t* const alone = table.alone.data();
    const std::uint16_t* const pairs = table.pairs.data();
    const bool asciiSame = table.asciiSame;
    const std::size_t start = out.size();
    out.resize(start + size);  // no character's form is longer than its bytes
    char* to = out.data() + start;
    for (std::size_t at = 0; at < size;) {
        const unsigned char b = in[at];
        if (b < 0x80 && asciiSame) {
            at = CopyAsciiRun(in, at, size, to);
            if (at < size && in[at] < 0x80) *to++ = static_cast<char>(in[at++]);
            continue;
        }
        std::uint16_t code = kNoCode;
        std::size_t used = 1;
        if (!lead[b]) {
            code = alone[b];
        } else if (at + 1 < size) {
            code = pairs[b * 256 + in[at + 1]];
            used = 2;
        }
        if (code == kNoCode) {
            out.resize(start);
            return false;
        }
        if (code < 0x100) {
            *to++ = static_cast<char>(code);
        } else {
            *to++ = static_cast<char>(code >> 8);
            *to++ = static_cast<char>(code & 0xFF);
        }
        at += used;
    }
    out.resize(static_cast<std::size_t>(to - out.data()));
    return true;
}

}  // namespace vb::codec::cp932::tables
