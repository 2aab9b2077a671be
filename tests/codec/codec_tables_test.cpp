// The committed cp932 table and the conversions by it against this system's iconv
// ("CP932"), over every byte, pair and character the table holds and over the malformed
// input around them. Linux only: the program itself never converts with iconv.
#include "codec/codec_tables.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "codec/codec.h"
#include "codec/codec_refusals.h"
#include "codec/utf8.h"
#include "iconv_conversion.h"
#include "table_maker.h"

using namespace vb::codec;

namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s += static_cast<char>(v);
    return s;
}

// iconv a stretch of text at a time, as the codec converted before it kept a table: a byte
// iconv refuses becomes its stand-in.
std::string DecodeThroughIconv(std::string_view bytes) {
    thread_local vb::tools::IconvConversion iconv("UTF-8", "CP932");
    std::string out;
    const char* in = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0 && iconv.ConvertStretch(in, left, out) != 0) {
        utf8::Append(out, cp932::StandInFor(static_cast<unsigned char>(*in)));
        ++in;
        --left;
    }
    return out;
}

// Encode with iconv in the table's place: what iconv refuses is treated as Encode treats it.
std::string EncodeThroughIconv(std::string_view text) {
    thread_local vb::tools::IconvConversion iconv("CP932", "UTF-8");
    return cp932::EncodeThrough(
        [](std::string_view all, std::string& out, const cp932::RefusedHandler& refused) {
            const char* in = all.data();
            std::size_t left = all.size();
            while (left > 0 && iconv.ConvertStretch(in, left, out) != 0) {
                const std::size_t length = refused(static_cast<std::size_t>(in - all.data()));
                in += length;
                left -= length;
            }
        },
        text);
}

TEST(Cp932Tables, CommittedTableIsWhatThisSystemsIconvAnswers) {
    // Otherwise the comparisons below would hold the codec against another iconv than its
    // table's. After a deliberate change: vb_cp932_table_generator src/codec/cp932_table.inc
    namespace maker = vb::tools::cp932_table;
    std::ifstream file(VB_CP932_TABLE_FILE, std::ios::binary);
    ASSERT_TRUE(file) << VB_CP932_TABLE_FILE;
    std::ostringstream committed;
    committed << file.rdbuf();
    const std::string fresh = maker::TableSource(maker::AskIconv());
    std::istringstream freshLines(fresh), committedLines(committed.str());
    std::string freshLine, committedLine;
    for (int line = 1; std::getline(freshLines, freshLine); ++line) {
        std::getline(committedLines, committedLine);
        ASSERT_EQ(committedLine, freshLine) << "first difference at line " << line;
    }
    EXPECT_EQ(committed.str(), fresh);
}

TEST(Cp932Tables, DecodeAsIconvDoesEveryByteAndPair) {
    const int thirds[] = {0x00, 0x40, 0x7F, 0x81, 0xA0, 0xE0, 0xFC, 0xFF};
    for (int first = 0; first < 256; ++first) {
        const std::string one = Bytes({first});
        ASSERT_EQ(cp932::Decode(one), DecodeThroughIconv(one)) << first;
        for (int second = 0; second < 256; ++second) {
            const std::string two = Bytes({first, second});
            ASSERT_EQ(cp932::Decode(two), DecodeThroughIconv(two)) << first << ' ' << second;
            if (first < 0x81) continue;
            for (int third : thirds) {
                const std::string three = Bytes({first, second, third});
                ASSERT_EQ(cp932::Decode(three), DecodeThroughIconv(three));
            }
        }
    }
}

TEST(Cp932Tables, DecodeAsIconvDoesRandomBytes) {
    std::mt19937 rng(17);
    for (int round = 0; round < 20000; ++round) {
        std::string bytes(rng() % 48, '\0');
        for (char& b : bytes) {
            // Mostly the bytes of Japanese text, with every other byte now and then.
            const unsigned r = rng();
            b = static_cast<char>(r % 4 == 0 ? r >> 8 : 0x81 + (r >> 8) % 0x7C);
        }
        ASSERT_EQ(cp932::Decode(bytes), DecodeThroughIconv(bytes));
    }
}

TEST(Cp932Tables, EncodeAsIconvDoesEveryCharacter) {
    for (char32_t cp = 0; cp <= 0x10FFFF; cp += cp < 0x10000 ? 1 : 61) {
        std::string alone;
        utf8::Append(alone, cp);  // surrogates too: UTF-8 cannot hold them, iconv refuses them
        const std::string between = "x" + alone + "あ";
        ASSERT_EQ(cp932::Encode(alone), EncodeThroughIconv(alone)) << std::uint32_t{cp};
        ASSERT_EQ(cp932::Encode(between), EncodeThroughIconv(between)) << std::uint32_t{cp};
    }
}

TEST(Cp932Tables, CanEncodeWhatIconvConverts) {
    // Beyond U+FFFF too, where iconv converts the tag characters to nothing.
    vb::tools::IconvConversion iconv("CP932", "UTF-8");
    std::string text, out;
    for (char32_t cp = 0x80; cp <= 0x10FFFF;
         cp += cp < 0x10000 || (cp >= 0xE0000 && cp < 0xE0100) ? 1 : 61) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        text.clear();
        utf8::Append(text, cp);
        const bool converted = iconv.ConvertWhole(text, out) == 0;
        ASSERT_EQ(cp932::CanEncode(cp), converted || cp932::IsStandIn(cp)) << std::uint32_t{cp};
    }
}

TEST(Cp932Tables, EncodeAsIconvDoesMalformedSequences) {
    // Every two bytes (overlong and cut-off forms among them), every three-byte lead with a
    // continuation and any third byte, and four-byte leads with sample tails.
    for (int first = 0x80; first < 256; ++first)
        for (int second = 0; second < 256; ++second) {
            const std::string two = Bytes({first, second});
            ASSERT_EQ(cp932::Encode(two), EncodeThroughIconv(two)) << first << ' ' << second;
        }
    for (int first = 0xE0; first <= 0xEF; ++first)
        for (int second = 0x80; second <= 0xBF; ++second)
            for (int third = 0; third < 256; ++third) {
                const std::string three = Bytes({first, second, third});
                ASSERT_EQ(cp932::Encode(three), EncodeThroughIconv(three));
            }
    for (int first = 0xF0; first <= 0xF7; ++first)
        for (int second = 0x80; second <= 0xBF; second += 3)
            for (int third : {0x80, 0x9F, 0xBF, 0x41})
                for (int fourth : {0x80, 0xBF, 0x41}) {
                    const std::string four = Bytes({first, second, third, fourth});
                    ASSERT_EQ(cp932::Encode(four), EncodeThroughIconv(four));
                }
}

TEST(Cp932Tables, EncodeAsIconvDoesRandomText) {
    // Characters cp932 holds, characters it does not, stand-ins (lead bytes among them, whose
    // neighbours the encoder may have to write in another form) and stray bytes.
    const std::string pieces[] = {"a",       "\r\n", "あ", "ヴォルナック", "ｱ",    "Ⅰ",
                                  "\u2252",  "©",    "😀",  "\uE000",       "\xff", "\xe3\x81",
                                  "\xc0\x80"};
    std::mt19937 rng(23);
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const int length = static_cast<int>(rng() % 16);
        for (int i = 0; i < length; ++i) {
            if (rng() % 4 == 0)
                utf8::Append(text,
                             cp932::StandInFor(static_cast<unsigned char>(0x80 + rng() % 0x80)));
            else
                text += pieces[rng() % std::size(pieces)];
        }
        ASSERT_EQ(cp932::Encode(text), EncodeThroughIconv(text)) << text;
    }
}

TEST(Cp932Tables, EncodeAsIconvDoesTextsLongerThanItsBlocks) {
    // The encoder makes its room 64 KiB at a time: characters of every length, refused
    // ones among them, fall across those boundaries at every offset.
    const std::string pieces[] = {"あ", "a", "©", "😀", "\xff", "ヴォルナック\r\n"};
    for (std::size_t shift = 0; shift < 4; ++shift) {
        std::string text(65536 - 2 + shift, 'x');
        for (int i = 0; text.size() < 3 * 65536 + 100; ++i) text += pieces[i % std::size(pieces)];
        ASSERT_EQ(cp932::Encode(text), EncodeThroughIconv(text)) << shift;
    }
}

TEST(Cp932Tables, ConvertAsIconvDoesMarkupHeavyText) {
    // Long ASCII runs (copied eight bytes at a time) broken at every offset by other bytes.
    std::mt19937 rng(31);
    for (int round = 0; round < 5000; ++round) {
        std::string bytes;
        while (bytes.size() < 64) {
            bytes += std::string(rng() % 20, static_cast<char>('a' + rng() % 26));
            bytes += static_cast<char>(0x80 + rng() % 0x80);
        }
        ASSERT_EQ(cp932::Decode(bytes), DecodeThroughIconv(bytes));
        const std::string text = DecodeThroughIconv(bytes);
        ASSERT_EQ(cp932::Encode(text), EncodeThroughIconv(text));
    }
}

TEST(Cp932Reencode, GivesWhatDecodingAndEncodingGive) {
    // Every byte and pair, and random Japanese-like bytes: where the bytes are whole
    // characters the result is Encode(Decode(bytes)); otherwise nothing is appended.
    std::mt19937 rng(41);
    std::vector<std::string> samples;
    for (int first = 0; first < 256; ++first) {
        samples.push_back(Bytes({first}));
        for (int second = 0; second < 256; ++second) samples.push_back(Bytes({first, second}));
    }
    for (int round = 0; round < 20000; ++round) {
        std::string bytes(rng() % 40, '\0');
        for (char& b : bytes) {
            const unsigned r = rng();
            b = static_cast<char>(r % 3 == 0 ? r >> 8 : 0x81 + (r >> 8) % 0x7C);
        }
        samples.push_back(bytes);
    }
    int reencoded = 0;
    for (const auto& bytes : samples) {
        std::string out = "kept";
        if (cp932::AppendReencoded(out, bytes)) {
            ++reencoded;
            ASSERT_EQ(out, "kept" + cp932::Encode(cp932::Decode(bytes)));
            // Its characters, walked by length, end exactly at its end.
            std::size_t at = 4;
            while (at < out.size())
                at += cp932::CharacterLength(static_cast<unsigned char>(out[at]));
            EXPECT_EQ(at, out.size());
        } else {
            ASSERT_EQ(out, "kept");
            // Only bytes that are no character are refused.
            EXPECT_FALSE(cp932::EncodesCharacterByCharacter(cp932::Decode(bytes)));
        }
    }
    EXPECT_GT(reencoded, 10000);
}

TEST(Cp932Reencode, CharacterByCharacterTextEncodesInParts) {
    const std::string pieces[] = {"a", "\r\n", "あ", "ヴォルナック", "ｱ", "Ⅰ", "©", "😀", "\uE000"};
    std::mt19937 rng(43);
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::string> parts;
        std::string whole;
        for (int i = static_cast<int>(rng() % 6); i > 0; --i) {
            parts.push_back(pieces[rng() % std::size(pieces)]);
            whole += parts.back();
        }
        ASSERT_TRUE(cp932::EncodesCharacterByCharacter(whole)) << whole;
        std::string joined;
        for (const auto& part : parts) joined += cp932::Encode(part);
        ASSERT_EQ(joined, cp932::Encode(whole)) << whole;
    }
    std::string standIn;
    utf8::Append(standIn, cp932::StandInFor(0x82));
    for (const std::string& text :
         {standIn, std::string("\xff"), std::string("\xe3\x81"), std::string("\xc0\x80"),
          std::string("\xed\xa0\x80"), std::string("\xf4\x90\x80\x80"), "a" + standIn + "b"})
        EXPECT_FALSE(cp932::EncodesCharacterByCharacter(text)) << text;
    EXPECT_TRUE(cp932::EncodesCharacterByCharacter(""));
}

}  // namespace
