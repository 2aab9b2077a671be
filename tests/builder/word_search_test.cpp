#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "builder/text_replace.h"

namespace vb::builder {
namespace {

// Texts built from pieces that share bytes with the words (UTF-8 katakana share their
// lead bytes), so the skip table's moves are tried near and across real matches.
std::string RandomText(std::mt19937& rng, const std::vector<std::string>& pieces, int length) {
    std::string text;
    for (int i = 0; i < length; ++i) text += pieces[rng() % pieces.size()];
    return text;
}

TEST(WordSearch, FindsWhatTheLibrarySearchFinds) {
    const std::vector<std::string> words = {
        "",
        "a",
        "ab",
        "abc",
        "abca",
        "aaaa",
        "ヴォルナック",
        "ナックナ",
        "\r\n<br>",
        "xyzxyzxyzq",
        std::string(255, 'z'),
        std::string(300, 'z'),  // the table's limit and beyond it
    };
    const std::vector<std::string> pieces = {"a",    "b",  "c",   "z",  "ヴ",           "ォ",
                                             "ル",   "ナ", "ッ",  "ク", "ヴォルナック", "\r\n",
                                             "<br>", "あ", "zzzz"};
    std::mt19937 rng(11);
    for (const auto& word : words) {
        const WordSearch search(word);
        for (int round = 0; round < 300; ++round) {
            std::string text = RandomText(rng, pieces, static_cast<int>(rng() % 40));
            if (round % 7 == 0) text += std::string(rng() % 400, 'z');
            for (std::size_t from = 0; from <= text.size() + 1; ++from)
                ASSERT_EQ(search.Find(text, from), std::string_view(text).find(word, from))
                    << word << " in " << text << " from " << from;
        }
    }
}

TEST(WordSearch, ReplacesAsThePlainReplacementDoes) {
    const std::vector<std::string> pieces = {"ヴォルナック", "ヴォル", "ナック", "\r\n", "あ", "x"};
    std::mt19937 rng(5);
    const WordSearch search("ヴォルナック");
    for (int round = 0; round < 500; ++round) {
        const std::string text = RandomText(rng, pieces, static_cast<int>(rng() % 30));
        std::string viaSearch = "kept:";
        AppendReplaced(viaSearch, text, search, "<a>ヴォルナック</a>");
        EXPECT_EQ(viaSearch, "kept:" + ReplaceAll(text, "ヴォルナック", "<a>ヴォルナック</a>"));
    }
}

}  // namespace
}  // namespace vb::builder
