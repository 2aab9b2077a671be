#include "codec/utf8.h"

#include <gtest/gtest.h>

using namespace vb::codec;

TEST(Utf8, CountsAndCutsCharactersNotBytes) {
    EXPECT_EQ(utf8::Length(""), 0u);
    EXPECT_EQ(utf8::Length("aあ😀"), 3u);
    EXPECT_EQ(utf8::Substr("aあいう", 1, 2), "あい");
    EXPECT_EQ(utf8::Substr("abc", 2, 10), "c");
    EXPECT_EQ(utf8::Substr("abc", 5, 10), "");
}

TEST(Utf8, MalformedBytesCountAsOneCharacterEach) {
    const std::string s = "a\xff\xe3\x81";  // stray byte, then a cut-off sequence
    EXPECT_EQ(utf8::Length(s), 4u);
    std::size_t pos = 1;
    EXPECT_EQ(utf8::DecodeAt(s, pos), 0xFFu);
    EXPECT_EQ(pos, 2u);
}

TEST(Utf8, AppendRoundTripsEveryPlane) {
    for (char32_t cp : {U'a', U'é', U'あ', U'\U0001F600'}) {
        std::string s;
        utf8::Append(s, cp);
        std::size_t pos = 0;
        EXPECT_EQ(utf8::DecodeAt(s, pos), cp);
        EXPECT_EQ(pos, s.size());
    }
}

TEST(Utf8, LowersAsciiOnly) { EXPECT_EQ(utf8::AsciiLower("ZUND Ａ<BR>"), "zund Ａ<br>"); }
