#include "builder/page_counts.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace vb::builder {
namespace {

TEST(PlanPageCount, PagesAreRoundedAndTheMaximumNeverBelowThem) {
    const struct {
        const char* text;
        std::int32_t pages;
        float max;
    } cases[] = {{"3", 3, 3.0f},    {"2.5", 2, 2.5f},
                 {"3.5", 4, 4.0f},  {"2.7", 3, 3.0f},
                 {"0.4", 0, 0.4f},  {"1,000", 1000, 1000},
                 {"1e2", 100, 100}, {"1048576", 1048576, 1048576.0f}};
    for (const auto& c : cases) {
        const auto plan = PlanPageCount(c.text);
        ASSERT_TRUE(plan) << c.text;
        EXPECT_EQ(plan->pages, c.pages) << c.text;
        EXPECT_EQ(plan->progressMax, c.max) << c.text;
    }
    for (const char* text : {"0", "-3", "-0.4", "abc", "1048577", "3e9", "1e-50"})
        EXPECT_FALSE(PlanPageCount(text)) << text;
}

TEST(SourcesPerPage, AnyWholeNumberThatFits) {
    EXPECT_EQ(SourcesPerPage("0"), 0);
    EXPECT_EQ(SourcesPerPage("-2"), -2);
    EXPECT_EQ(SourcesPerPage("2.5"), 2);
    EXPECT_EQ(SourcesPerPage("1,000"), 1000);
    EXPECT_FALSE(SourcesPerPage("3e9"));
}

}  // namespace
}  // namespace vb::builder
