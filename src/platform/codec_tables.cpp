#include "platform/codec_tables.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/codec.h"
#include "platform/utf8.h"

namespace vb::platform::cp932::tables {

namespace {

// One iconv descriptor for the table being made.
class Iconv {
  public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts the whole input afresh: 0 with the result in out, or the errno of the stop.
    int Convert(std::string_view input, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buffer[32];
        char* src = const_cast<char*>(input.data());
        std::size_t srcLeft = input.size();
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        const std::size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
        if (rc == static_cast<std::size_t>(-1)) return errno;
        if (srcLeft != 0) return EINVAL;
        out.assign(buffer, sizeof buffer - dstLeft);
        return 0;
    }

  private:
    iconv_t cd_;
};

bool Keep(const std::string& utf8, Utf8Char& into) {
    if (utf8.empty() || utf8.size() > sizeof into.bytes) return false;
    into.size = static_cast<std::uint8_t>(utf8.size());
    std::memcpy(into.bytes, utf8.data(), utf8.size());
    return true;
}

std::unique_ptr<DecodeTable> MakeDecodeTable() {
    Iconv iconv("UTF-8", "CP932");
    if (!iconv.ok()) return nullptr;
    auto table = std::make_unique<DecodeTable>();
    table->pairs.resize(256 * 256);
    std::string out;
    for (int b = 0; b < 256; ++b) {
        const char one = static_cast<char>(b);
        const int err = iconv.Convert(std::string_view(&one, 1), out);
        if (err == EINVAL) {
            table->lead[b] = true;
        } else if (err != 0 && err != EILSEQ) {
            return nullptr;
        }
        // Not a character by itself (or a lead byte without its trail): its stand-in.
        if (err != 0) {
            out.clear();
            utf8::Append(out, StandInFor(static_cast<unsigned char>(b)));
        }
        if (!Keep(out, table->alone[b])) return nullptr;
    }
    table->asciiSame = true;
    for (int b = 0; b < 0x80; ++b)
        table->asciiSame &= table->alone[b].size == 1 && table->alone[b].bytes[0] == b;
    for (int lead = 0; lead < 256; ++lead) {
        if (!table->lead[lead]) continue;
        for (int trail = 0; trail < 256; ++trail) {
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            const int err = iconv.Convert(std::string_view(pair, 2), out);
            if (err == 0) {
                if (!Keep(out, table->pairs[lead * 256 + trail])) return nullptr;
            } else if (err != EILSEQ) {
                return nullptr;  // a character of three bytes or more: not for this table
            }
        }
    }
    return table;
}

std::unique_ptr<EncodeTable> MakeEncodeTable() {
    Iconv iconv("CP932", "UTF-8");
    if (!iconv.ok()) return nullptr;
    auto table = std::make_unique<EncodeTable>();
    table->codes.assign(0x10000, kNoCode);
    std::string utf8;
    std::string out;
    for (char32_t cp = 0; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;  // not characters; UTF-8 cannot hold them
        utf8.clear();
        utf8::Append(utf8, cp);
        const int err = iconv.Convert(utf8, out);
        if (err == EILSEQ) continue;
        if (err != 0) return nullptr;
        std::uint16_t code = kNoCode;
        if (out.size() == 1) {
            code = static_cast<unsigned char>(out[0]);
        } else if (out.size() == 2 && out[0] != '\0' && out != "\xFF\xFF") {
            code = static_cast<std::uint16_t>(static_cast<unsigned char>(out[0]) << 8 |
                                              static_cast<unsigned char>(out[1]));
        } else {
            return nullptr;
        }
        table->codes[cp] = code;
    }
    table->asciiSame = true;
    for (char32_t cp = 0; cp < 0x80; ++cp) table->asciiSame &= table->codes[cp] == cp;
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

std::unique_ptr<ReencodeTable> MakeReencodeTable(const DecodeTable* dec, const EncodeTable* enc) {
    if (!dec || !enc) return nullptr;
    auto table = std::make_unique<ReencodeTable>();
    table->lead = dec->lead;
    table->pairs.assign(256 * 256, kNoCode);
    for (int b = 0; b < 256; ++b) {
        if (dec->lead[b]) {
            table->alone[b] = kNoCode;
            for (int trail = 0; trail < 256; ++trail)
                table->pairs[b * 256 + trail] =
                    ReencodedForm(dec->pairs[b * 256 + trail], *dec, *enc);
        } else {
            // A byte that is a character alone must stay one byte, so the result never
            // needs more room than the input.
            const std::uint16_t code = ReencodedForm(dec->alone[b], *dec, *enc);
            table->alone[b] = code < 0x100 ? code : kNoCode;
        }
    }
    table->asciiSame = dec->asciiSame && enc->asciiSame;
    return table;
}

}  // namespace

const DecodeTable* Decoding() {
    static const std::unique_ptr<DecodeTable> table = MakeDecodeTable();
    return table.get();
}

const EncodeTable* Encoding() {
    static const std::unique_ptr<EncodeTable> table = MakeEncodeTable();
    return table.get();
}

const ReencodeTable* Reencoding() {
    static const std::unique_ptr<ReencodeTable> table = MakeReencodeTable(Decoding(), Encoding());
    return table.get();
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
                // A character the table holds but iconv refuses, or one it does not hold
                // (four bytes, or not well-formed), which iconv is asked about.
                out.resize(static_cast<std::size_t>(to - out.data()));
                length = length == 0 ? EncodeOneThroughIconv(text, at, out) : 0;
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

std::size_t EncodeOneThroughIconv(std::string_view text, std::size_t pos, std::string& out) {
    thread_local Iconv iconv("CP932", "UTF-8");
    if (!iconv.ok()) return 0;
    // One byte more at a time: iconv takes the character's bytes whole (done), asks for
    // more (an incomplete sequence) or refuses them.
    std::string converted;
    for (std::size_t length = 1; length <= 6 && pos + length <= text.size(); ++length) {
        const int err = iconv.Convert(text.substr(pos, length), converted);
        if (err == 0) {
            out += converted;
            return length;
        }
        if (err != EINVAL) return 0;
    }
    return 0;
}

}  // namespace vb::platform::cp932::tables
