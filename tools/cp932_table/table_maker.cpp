#include "table_maker.h"

#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <string_view>

#include "codec/codec.h"
#include "codec/utf8.h"
#include "iconv_conversion.h"

namespace vb::tools::cp932_table {

namespace {

namespace utf8 = vb::codec::utf8;

[[noreturn]] void CannotHold(const std::string& what) {
    throw std::runtime_error("iconv's cp932 does not fit the table: " + what);
}

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

// The one character of the Basic Multilingual Plane that iconv made of a code.
char32_t OneCharacter(const std::string& utf8Text, unsigned code) {
    std::size_t pos = 0;
    const char32_t cp = utf8Text.empty() ? 0 : utf8::DecodeAt(utf8Text, pos);
    if (utf8Text.empty() || pos != utf8Text.size() || cp > 0xFFFF)
        CannotHold("code " + Hex(code, 4) + " is not one character of up to U+FFFF");
    if (vb::codec::cp932::IsStandIn(cp))
        CannotHold("code " + Hex(code, 4) + " decodes to a stand-in for an undecodable byte");
    return cp;
}

void AskDecoding(Answers& answers) {
    IconvConversion iconv("UTF-8", "CP932");
    std::string out;
    for (unsigned b = 0; b < 256; ++b) {
        const char one = static_cast<char>(b);
        const int err = iconv.ConvertWhole(std::string_view(&one, 1), out);
        answers.lead[b] = err == EINVAL;
        answers.alone[b] = err == 0 ? OneCharacter(out, b) : kNoCharacter;
        if (err != 0 && err != EINVAL && err != EILSEQ) CannotHold("byte " + Hex(b, 2));
    }
    answers.pairs.assign(256 * 256, kNoCharacter);
    for (unsigned lead = 0; lead < 256; ++lead) {
        if (!answers.lead[lead]) continue;
        for (unsigned trail = 0; trail < 256; ++trail) {
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            const unsigned code = lead * 256 + trail;
            const int err = iconv.ConvertWhole(std::string_view(pair, 2), out);
            if (err == 0) {
                answers.pairs[code] = OneCharacter(out, code);
            } else if (err != EILSEQ) {
                CannotHold("pair " + Hex(code, 4) + " is not refused nor one character");
            }
        }
    }
}

void AskEncoding(Answers& answers) {
    IconvConversion iconv("CP932", "UTF-8");
    answers.encodings.assign(0x10000, kNoCode);
    std::string text;
    std::string out;
    for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;  // not characters; UTF-8 cannot hold them
        text.clear();
        utf8::Append(text, cp);
        const int err = iconv.ConvertWhole(text, out);
        if (err == EILSEQ) continue;
        const auto at = [&] { return "U+" + Hex(static_cast<unsigned>(cp), 4).substr(2); };
        if (err != 0) CannotHold(at() + " is neither refused nor converted");
        if (cp > 0xFFFF) {
            // glibc writes nothing for the tag characters U+E0000..U+E007F.
            if (!out.empty()) CannotHold(at() + " has a cp932 form");
            answers.dropped.push_back(cp);
            continue;
        }
        const auto byte = [&out](std::size_t i) { return static_cast<unsigned char>(out[i]); };
        if (out.size() == 1) {
            answers.encodings[cp] = byte(0);
        } else if (out.size() == 2 && byte(0) != 0 && out != "\xFF\xFF") {
            answers.encodings[cp] = static_cast<std::uint16_t>(byte(0) << 8 | byte(1));
        } else {
            CannotHold(at() + " has a form of " + std::to_string(out.size()) + " bytes");
        }
    }
}

// The lowest code that decodes to each character: the encoding the table gives unless it
// lists another (the codec makes its table by the same rule).
std::vector<std::uint16_t> LowestCodes(const Answers& answers) {
    std::vector<std::uint16_t> lowest(0x10000, kNoCode);
    const auto offer = [&lowest](char32_t cp, unsigned code) {
        if (cp != kNoCharacter && lowest[cp] == kNoCode) lowest[cp] = static_cast<uint16_t>(code);
    };
    for (unsigned b = 0; b < 256; ++b) offer(answers.alone[b], b);
    for (unsigned code = 0; code < answers.pairs.size(); ++code) offer(answers.pairs[code], code);
    return lowest;
}

// Writes the entries of one array, wrapped at 100 columns.
class ArrayWriter {
  public:
    ArrayWriter(std::string& out, const std::string& declaration) : out_(out) {
        out_ += declaration + " = {\n";
    }
    ~ArrayWriter() { out_ += (line_.empty() ? "" : line_ + "\n") + "};\n"; }
    void Add(const std::string& entry) {
        if (!line_.empty() && line_.size() + 1 + entry.size() + 1 > 100) {
            out_ += line_ + "\n";
            line_.clear();
        }
        line_ += (line_.empty() ? "    " : " ") + entry + ",";
    }

  private:
    std::string& out_;
    std::string line_;
};

void WriteLeadBytes(const Answers& answers, std::string& out) {
    out += "\n// Bytes after which a second byte is read: {first, last}.\n";
    ArrayWriter array(out, "constexpr ByteRange kLeadBytes[]");
    for (unsigned b = 0; b < 256; ++b) {
        if (!answers.lead[b] || (b > 0 && answers.lead[b - 1])) continue;
        unsigned last = b;
        while (last < 255 && answers.lead[last + 1]) ++last;
        array.Add("{" + Hex(b, 2) + ", " + Hex(last, 2) + "}");
    }
}

void WriteSingleBytes(const Answers& answers, std::string& out) {
    out +=
        "\n// Bytes that are a character by themselves, in runs of bytes whose characters follow\n"
        "// one another: {first byte, last byte, character of the first}.\n";
    ArrayWriter array(out, "constexpr ByteRun kSingleBytes[]");
    for (unsigned b = 0; b < 256;) {
        const char32_t first = answers.alone[b];
        unsigned last = b;
        if (first != kNoCharacter)
            while (last < 255 && answers.alone[last + 1] == first + (last + 1 - b)) ++last;
        if (first != kNoCharacter)
            array.Add("{" + Hex(b, 2) + ", " + Hex(last, 2) + ", " + Hex(first, 4) + "}");
        b = last + 1;
    }
}

// Pairs come in stretches of codes that are characters, one trail byte after another. Runs
// of at least this many characters that follow one another are written as runs, the rest
// of a stretch character by character.
constexpr unsigned kShortestRun = 8;

void WritePairs(const Answers& answers, std::string& out) {
    std::vector<std::string> runs, stretches, characters;
    const auto& pairs = answers.pairs;
    const auto runLength = [&pairs](unsigned code, unsigned end) {
        unsigned n = 1;
        while (code + n < end && pairs[code + n] == pairs[code] + n) ++n;
        return n;
    };
    for (unsigned lead = 0; lead < 256; ++lead) {
        const unsigned rowEnd = (lead + 1) * 256;
        for (unsigned code = lead * 256; code < rowEnd;) {
            if (pairs[code] == kNoCharacter) {
                ++code;
                continue;
            }
            unsigned end = code;
            while (end < rowEnd && pairs[end] != kNoCharacter) ++end;
            // The stretch [code, end): runs where they are long enough, lists between.
            unsigned listed = code;
            const auto flushList = [&](unsigned upTo) {
                if (upTo == listed) return;
                stretches.push_back("{" + Hex(listed, 4) + ", " + std::to_string(upTo - listed) +
                                    "}");
                for (unsigned c = listed; c < upTo; ++c) characters.push_back(Hex(pairs[c], 4));
            };
            while (code < end) {
                const unsigned n = runLength(code, end);
                if (n >= kShortestRun) {
                    flushList(code);
                    runs.push_back("{" + Hex(code, 4) + ", " + std::to_string(n) + ", " +
                                   Hex(pairs[code], 4) + "}");
                    listed = code + n;
                }
                code += n;
            }
            flushList(end);
        }
    }
    out +=
        "\n// Pairs whose characters follow one another, in runs of codes (one trail byte after\n"
        "// another): {first code, count, character of the first}.\n";
    {
        ArrayWriter array(out, "constexpr PairRun kPairRuns[]");
        for (const auto& run : runs) array.Add(run);
    }
    out +=
        "\n// The other pairs, a stretch of codes at a time: {first code, count}. Their "
        "characters\n"
        "// follow in kPairCharacters, stretch after stretch.\n";
    {
        ArrayWriter array(out, "constexpr PairStretch kPairStretches[]");
        for (const auto& stretch : stretches) array.Add(stretch);
    }
    {
        ArrayWriter array(out, "constexpr char16_t kPairCharacters[]");
        for (const auto& character : characters) array.Add(character);
    }
}

void WriteEncodings(const Answers& answers, std::string& out) {
    out +=
        "\n// Characters whose cp932 form is not the lowest code that decodes to them (one of two\n"
        "// codes, a form that decodes to another character, or none): {character, code}.\n";
    ArrayWriter array(out, "constexpr CharacterForm kEncodings[]");
    const std::vector<std::uint16_t> lowest = LowestCodes(answers);
    for (unsigned cp = 0; cp < 0x10000; ++cp)
        if (answers.encodings[cp] != lowest[cp])
            array.Add("{" + Hex(cp, 4) + ", " +
                      (answers.encodings[cp] == kNoCode ? std::string("kNoCode")
                                                        : Hex(answers.encodings[cp], 4)) +
                      "}");
}

void WriteDropped(const Answers& answers, std::string& out) {
    out += "\n// Characters beyond U+FFFF that are converted to nothing: {first, last}.\n";
    ArrayWriter array(out, "constexpr CharacterRange kDroppedCharacters[]");
    const auto& dropped = answers.dropped;
    for (std::size_t i = 0; i < dropped.size();) {
        std::size_t last = i;
        while (last + 1 < dropped.size() && dropped[last + 1] == dropped[last] + 1) ++last;
        array.Add("{" + Hex(dropped[i], 5) + ", " + Hex(dropped[last], 5) + "}");
        i = last + 1;
    }
}

}  // namespace

Answers AskIconv() {
    Answers answers;
    AskDecoding(answers);
    AskEncoding(answers);
    return answers;
}

std::string TableSource(const Answers& answers) {
    std::string out =
        "// The cp932 conversion of the C library's iconv (\"CP932\"), every byte, pair and\n"
        "// character as it answers them, written by tools/cp932_table: do not edit. A code is\n"
        "// one byte, or a pair as lead * 256 + trail. Anything not listed is no character.\n";
    WriteLeadBytes(answers, out);
    WriteSingleBytes(answers, out);
    WritePairs(answers, out);
    WriteEncodings(answers, out);
    WriteDropped(answers, out);
    return out;
}

}  // namespace vb::tools::cp932_table
