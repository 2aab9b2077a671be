#include "codec/codec.h"

#include <gtest/gtest.h>

#include <random>

#include "codec/utf8.h"

using namespace vb::codec;

namespace {

struct DecodeCase {
    std::string bytes;
    std::string utf8;
};

TEST(Cp932Codec, DecodesAndEncodesValidText) {
    const DecodeCase cases[] = {
        {"", ""},
        {"abc\r\n", "abc\r\n"},
        {"\x83\x94\x83\x48\x83\x8b\x83\x69\x83\x62\x83\x4e", "ヴォルナック"},
        {"\xb1\xb2", "ｱｲ"},  // half-width katakana, one byte each
        {"\x82\xa0\r\n\x82\xa2", "あ\r\nい"},
        {"\x5c\x7e", "\\~"},           // cp932 keeps ASCII as ASCII
        {"\xf0\x40", "\xee\x80\x80"},  // user-defined area -> U+E000
        {"\x87\x54", "Ⅰ"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cp932::Decode(c.bytes), c.utf8) << c.utf8;
        EXPECT_EQ(cp932::Encode(c.utf8), c.bytes) << c.utf8;
    }
}

TEST(Cp932Codec, InvalidBytesComeBackUnchanged) {
    const std::string samples[] = {
        std::string("\x80"),
        std::string("\xa0"),
        std::string("\xfd\xfe\xff"),
        std::string("ok\x81"),     // lead byte cut off at the end
        std::string("\x81\x20x"),  // lead byte followed by a byte that cannot trail
        std::string("\x82\xa0\xff\x82\xa2"),
    };
    for (const auto& bytes : samples) {
        const std::string text = cp932::Decode(bytes);
        EXPECT_EQ(cp932::Encode(text), bytes);
    }
    // The invalid byte itself becomes the stand-in, the valid neighbours decode normally.
    std::string expected = "あ";
    expected += "\xef\x9f\xbf";  // U+F7FF, stand-in for 0xFF
    expected += "い";
    EXPECT_EQ(cp932::Decode("\x82\xa0\xff\x82\xa2"), expected);
}

TEST(Cp932Codec, NoValidTextDecodesToAStandIn) {
    // Every single byte and every double-byte pair: a stand-in appears only for bytes that
    // do not belong to valid cp932, so stand-ins never collide with real characters.
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            const std::string text = cp932::Decode(pair);
            std::size_t pos = 0;
            const char32_t first = vb::codec::utf8::DecodeAt(text, pos);
            if (pos == text.size()) {
                // A valid pair: never a stand-in. Duplicate codes may encode to their twin,
                // which decodes to the same character.
                EXPECT_FALSE(cp932::IsStandIn(first)) << lead << ' ' << trail;
                EXPECT_EQ(cp932::Decode(cp932::Encode(text)), text);
            } else {
                EXPECT_EQ(cp932::Encode(text), pair);  // invalid bytes come back exactly
            }
        }
    }
}

TEST(Cp932Codec, DecodeEncodeDecodeIsStableForRandomBytes) {
    // Random bytes mix valid, duplicate-coded and invalid sequences.
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        std::string bytes(static_cast<std::size_t>(rng() % 64), '\0');
        for (char& b : bytes) b = static_cast<char>(rng() & 0xFF);
        const std::string once = cp932::Decode(bytes);
        EXPECT_EQ(cp932::Decode(cp932::Encode(once)), once);
    }
}

TEST(Cp932Codec, UnmappableCharactersBecomeNumericReferences) {
    EXPECT_EQ(cp932::Encode("a©b"), "a&#169;b");
    EXPECT_EQ(cp932::Encode("😀"), "&#128512;");
    EXPECT_EQ(cp932::Encode("あ€"), "\x82\xa0&#8364;");
    EXPECT_FALSE(cp932::CanEncode(U'©'));
    EXPECT_TRUE(cp932::CanEncode(U'あ'));
    EXPECT_TRUE(cp932::CanEncode(cp932::StandInFor(0x80)));
}

TEST(Cp932Codec, DuplicateCodesDecodeToOneCharacter) {
    // FA4A and 8754 are both "Ⅰ"; encoding picks one form, decoding it gives the same text.
    const std::string a = cp932::Decode("\xfa\x4a");
    const std::string b = cp932::Decode("\x87\x54");
    EXPECT_EQ(a, b);
    EXPECT_EQ(cp932::Decode(cp932::Encode(a)), a);
}

}  // namespace
