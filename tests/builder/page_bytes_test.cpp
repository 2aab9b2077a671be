// Pages made in cp932 straight from the sources' bytes against pages made as text and
// encoded: the two must give the same bytes wherever the cp932 way is taken.
#include "builder/page_bytes.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "build_fixture.h"
#include "builder/messages.h"
#include "builder/text_replace.h"
#include "codec/codec.h"
#include "codec/utf8.h"

namespace vb::builder {
namespace {

namespace cp932 = codec::cp932;

// Bytes of source files: characters the targets are made of, the same bytes inside other
// characters (0x88 0x83 is one character whose second byte is the first byte of ナ),
// characters with two codes, line breaks of every kind, tags, and bytes that are no
// character at all.
const std::vector<std::string> kSourcePieces = {cp932::Encode("ヴォルナック"),
                                                cp932::Encode("ナ"),
                                                cp932::Encode("ック"),
                                                "\x88\x83",
                                                "i",
                                                "\x88\x83i",
                                                "\xfa\x4a",
                                                "\x87\x54",
                                                "\xb1",
                                                "\\",
                                                "\x81\x5f",
                                                "\r\n",
                                                "\r",
                                                "\n",
                                                "<br>",
                                                "<BR>",
                                                "<br/>",
                                                "br",
                                                ">",
                                                cp932::Encode("あ"),
                                                " ",
                                                "\xff",
                                                "\x80",
                                                "\x82"};

std::string RandomSource(std::mt19937& rng) {
    std::string bytes;
    for (int i = static_cast<int>(rng() % 12); i > 0; --i)
        bytes += kSourcePieces[rng() % kSourcePieces.size()];
    return bytes;
}

TEST(PageBytes, GivesTheBytesOfTheTextMadeAndEncoded) {
    const PageTemplate page("<title>&&TITLE&&</title>\r\n<body>&&BODY&&</body>", "題名");
    const std::string targets[] = {"ヴォルナック", "ナ",   "ック", "ナi", "br",
                                   "r>\r",         "\r\n", "Ⅰ",    "\\",  "i"};
    const std::string replacements[] = {"<a href='http://x/'>ヴォルナック</a>", "©", "ナ", ""};
    std::mt19937 rng(29);
    int compared = 0;
    for (const auto& target : targets) {
        for (const auto& replacement : replacements) {
            auto bytes = PageBytes::For(page, target, replacement);
            ASSERT_TRUE(bytes) << target;
            EXPECT_EQ(bytes->Head(), cp932::Encode(page.Head()));
            EXPECT_EQ(bytes->Tail(), cp932::Encode(page.Tail()));
            const WordSearch search(target);
            std::string scratch;
            for (int round = 0; round < 800; ++round) {
                const std::string source = RandomSource(rng);
                std::string reencoded;
                if (!PageBytes::Reencode(source, reencoded)) continue;
                const std::string text = cp932::Decode(source);
                const bool holds = search.Find(text) != std::string::npos;
                ASSERT_EQ(bytes->HoldsTarget(reencoded), holds) << target << " in " << text;
                std::string expected = text;
                if (holds) {
                    expected.clear();
                    AppendPreparedSource(expected, text, search, replacement, scratch);
                }
                std::string piece = "kept";
                if (holds)
                    bytes->AppendPrepared(piece, reencoded);
                else
                    piece += reencoded;
                ASSERT_EQ(piece, "kept" + cp932::Encode(expected)) << target << " in " << text;
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 10000);
}

TEST(PageBytes, NotTakenWhereTheBytesCouldDiffer) {
    std::string standIn;
    codec::utf8::Append(standIn, cp932::StandInFor(0x82));
    const PageTemplate one("<b>&&BODY&&</b>", "T");
    const struct {
        PageTemplate page;
        std::string target, replacement;
    } cases[] = {
        {one, "©", "x"},            // cp932 cannot hold the target
        {one, "\u301c", "x"},       // holds it only as another one
        {one, "", "x"},             // no target
        {one, "a" + standIn, "x"},  // a stand-in in the target
        {one, "a", "x" + standIn},  // ... in the replacement
        {one, "a", "\xe3\x81"},     // a broken replacement
        {PageTemplate("<i>&&TITLE&&</i><b>&&BODY&&</b>", standIn), "a", "x"},  // ... in the title
        {PageTemplate("&&BODY&&|&&BODY&&", "T"), "a", "x"},                    // the body twice
        {PageTemplate("no body", "T"), "a", "x"},                              // no body at all
    };
    for (const auto& c : cases)
        EXPECT_FALSE(PageBytes::For(c.page, c.target, c.replacement)) << &c - cases;
    EXPECT_TRUE(PageBytes::For(one, "a", "x"));
}

}  // namespace
}  // namespace vb::builder

namespace vb::test {
namespace {

using PageBytesRunTest = BuildTest;

TEST_F(PageBytesRunTest, APageWithASourceOfBrokenBytesIsMadeAsText) {
    // Pages of three sources drawn from a clean one and one with bytes that are no
    // character: each page, whichever way it was made, holds the prepared pieces in order.
    AddSource("a.txt", Cp932("あ TARGET\r\nい"));
    AddSource("b.txt", "\xffTARGET\x80\r\n\x82");
    txtMakePageNum.SetText("30");
    txtPagePerSrcNum.SetText("3");
    builder.Run();

    const std::string pieces[] = {Cp932("あ ") + kReplacement + "<br>\r\n" + Cp932("い"),
                                  "\xff" + std::string(kReplacement) + "\x80<br>\r\n\x82"};
    int mixed = 0;
    for (const auto& name : ExpectedPageNames(30)) {
        const std::string page = Output(name);
        bool matched = false;
        for (int combo = 0; combo < 8 && !matched; ++combo) {
            std::string body;
            for (int slot = 0; slot < 3; ++slot) {
                if (slot > 0) body += "<br>\r\n";
                body += pieces[(combo >> slot) & 1];
            }
            matched = page == Page(body);
            if (matched && combo != 0 && combo != 7) ++mixed;
        }
        EXPECT_TRUE(matched) << name;
    }
    EXPECT_GT(mixed, 0) << "the seed should mix both sources on some page";
    EXPECT_EQ(txtLog.Text(), std::string(builder::msg::kLogStarted) + builder::msg::kLogFinished);
}

}  // namespace
}  // namespace vb::test
