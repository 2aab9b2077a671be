#include "builder/page_captions.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

namespace vb::builder {
namespace {

TEST(PageCaptions, FindsEveryCaptionByItsPageName) {
    // Past the table's first size, so it grows while pages are added; names of the real
    // shape and odd ones, captions empty and long.
    std::map<std::string, std::string> expected;
    PageCaptions captions(4);
    std::mt19937 rng(3);
    for (int page = 0; page < 5000; ++page) {
        std::string name = page % 10 == 0 ? "odd name " + std::to_string(page)
                                          : "vor" + std::to_string(10000 + page) + ".html";
        std::string caption = page % 3 == 0 ? "" : std::string(rng() % 120, 'a' + page % 26);
        ASSERT_FALSE(captions.Contains(name));
        captions.Add(name, caption);
        expected.emplace(std::move(name), std::move(caption));
    }
    for (const auto& [name, caption] : expected) {
        EXPECT_TRUE(captions.Contains(name));
        EXPECT_EQ(captions.CaptionOf(name), caption) << name;
    }
    EXPECT_FALSE(captions.Contains("vor00000.html"));
    EXPECT_EQ(captions.CaptionOf("vor00000.html"), "");
    EXPECT_FALSE(captions.Contains(""));
}

}  // namespace
}  // namespace vb::builder
