#include <gtest/gtest.h>

#include <random>

#include "builder/index_caption.h"
#include "builder/page_template.h"
#include "builder/text_replace.h"
#include "codec/utf8.h"

namespace vb::builder {
namespace {

TEST(ReplaceAll, ScansFromTheStartWithoutOverlapOrRescan) {
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceAll("x-x", "x", "xx"), "xx-xx");
    EXPECT_EQ(ReplaceAll("abc", "", "z"), "abc");
    EXPECT_EQ(ReplaceAll("a\r\nb\r\r\n", "\r\n", "<br>\r\n"), "a<br>\r\nb\r<br>\r\n");
}

TEST(ContainsBrTagAnyCase, CountsEveryLetterCaseButNotTheSelfClosingForm) {
    for (const char* text : {"<br>", "x<BR>", "<Br>y", "<bR>", "<<br>"})
        EXPECT_TRUE(ContainsBrTagAnyCase(text)) << text;
    for (const char* text : {"", "<br/>", "<br />", "<b r>", "br>", "<br", "<bra>"})
        EXPECT_FALSE(ContainsBrTagAnyCase(text)) << text;
}

TEST(PageTemplate, FillsTitleFirstThenBody) {
    const PageTemplate page("<t>&&TITLE&&</t>&&TITLE&&&&title&&|&&BODY&&|&&BODY&&", "T&&BODY&&");
    std::string out = "leftover";
    page.Fill(out, "B&&TITLE&&");
    EXPECT_EQ(out, "<t>TB&&TITLE&&</t>TB&&TITLE&&&&title&&|B&&TITLE&&|B&&TITLE&&");
    PageTemplate("", "T").Fill(out, "B");
    EXPECT_EQ(out, "");
}

// The cleaning as the plain sequence of replacements, to hold the streaming version to.
std::string CaptionByReplacements(const std::string& raw) {
    std::string c = ReplaceAll(raw, " ", "");
    c = ReplaceAll(c, "\u3000", "");
    c = ReplaceAll(c, "<br>", "");
    c = ReplaceAll(c, "\r\n", "");
    c = ReplaceAll(c, ">", "&gt;");
    c = ReplaceAll(c, "<", "&lt;");
    return std::string(codec::utf8::Substr(c, 0, 40));
}

TEST(IndexCaption, CleansEscapesAndCuts) {
    const struct {
        const char* raw;
        const char* caption;
    } cases[] = {
        {"a <b>b</b>", "a&lt;b&gt;b&lt;/b&gt;"},
        {"x<BR>y<br>z", "x&lt;BR&gt;yz"},
        {"あ　い う\r\nえ\n\r", "あいうえ\n\r"},
        {"<b r>", ""},  // the space goes first, then the tag it leaves
        {"<b\u3000r>", ""},
        {"\r<br>\n", ""},  // the tag goes, then the CR LF it leaves
        {"<<br>br>", "&lt;br&gt;"},
        {"\r\r\n\n", "\r\n"},
        {"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMN", "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMN"},
        {"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOP", "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMN"},
        {"0123456789012345678901234567890123456<x", "0123456789012345678901234567890123456&lt"},
    };
    for (const auto& c : cases) EXPECT_EQ(IndexCaption(c.raw), c.caption) << c.raw;
}

TEST(IndexCaption, MatchesTheReplacementsOneAfterAnother) {
    const char* pieces[] = {" ", "\u3000", "<", "b", "r", ">", "\r", "\n", "x", "あ", "<br>"};
    std::mt19937 rng(1);
    for (int round = 0; round < 3000; ++round) {
        std::string raw;
        const int length = static_cast<int>(rng() % 60);
        for (int i = 0; i < length; ++i) raw += pieces[rng() % std::size(pieces)];
        ASSERT_EQ(IndexCaption(raw), CaptionByReplacements(raw)) << raw;
    }
}

TEST(AppendIndexEntry, SplitsTheCaptionTwentyTenTen) {
    std::string body = "<";
    AppendIndexEntry(body, IndexCaption("abcdefghijklmnopqrstuvwxyzABCDEFGHIJ"), "vor3fa9c.html");
    EXPECT_EQ(body, "<abcdefghijklmnopqrst<a href='vor3fa9c.html'>uvwxyzABCD</a>EFGHIJ<br>\r\n");

    body.clear();
    AppendIndexEntry(body, IndexCaption("a <b>b</b>"), "v.html");
    EXPECT_EQ(body, "a&lt;b&gt;b&lt;/b&gt<a href='v.html'>;</a><br>\r\n");
    body.clear();
    AppendIndexEntry(body, IndexCaption("あいうえお"), "v.html");
    EXPECT_EQ(body, "あいうえお<a href='v.html'></a><br>\r\n");
    body.clear();
    AppendIndexEntry(body, "", "v.html");
    EXPECT_EQ(body, "<a href='v.html'></a><br>\r\n");
}

}  // namespace
}  // namespace vb::builder
