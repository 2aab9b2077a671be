#include "rules/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace vb::rules {
namespace {

TEST(IsNumeric, AcceptsNumbersWithSignSeparatorsExponentAndBlanks) {
    for (const char* text : {"12", "-3", "+4", "2.5", ".5", "5.", "1e2", "1E+2", "2.5e-3", "0",
                             "1,000", "1,000,000.25", "12,34", "  7", "7 ", "\t7\t", " -1,000e1 "})
        EXPECT_TRUE(IsNumeric(text)) << text;
}

TEST(IsNumeric, RefusesEverythingElse) {
    for (const char* text : {"",    " ",   "-",  "+",    ".",    "10 pages", "1 2",   "abc",
                             "1e",  "1e+", "e5", ",1",   "1,",   "1,,000",   "1.2.3", "1.,5",
                             "--1", "- 1", "1-", "１２", "0x10", "1,000.5,0"})
        EXPECT_FALSE(IsNumeric(text)) << text;
}

TEST(LeadingNumber, ReadsTheNumberTheTextStartsWith) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"12", 12},         {"  -3", -3},     {"2.5", 2.5},      {"1e2", 100}, {"1,000", 1000},
        {"1,000,5", 10005}, {"10 pages", 10}, {"7abc", 7},       {"1,", 1},    {"1,,0", 1},
        {"1e", 1},          {"1e+x", 1},      {"2.5e-1x", 0.25}, {".5", 0.5},  {"5.", 5},
        {"-.5", -0.5},      {"", 0},          {"abc", 0},        {"-", 0},     {".", 0},
        {"1e-999", 0},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.value) << c.text;
    EXPECT_EQ(LeadingNumber("1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(LeadingNumber("-1e999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(LeadingNumber("9" + std::string(400, '0')), std::numeric_limits<double>::infinity());
}

TEST(RoundHalfEven, RoundsHalvesToTheEvenNeighbour) {
    const struct {
        double value;
        std::int32_t rounded;
    } cases[] = {{2.5, 2},
                 {3.5, 4},
                 {0.5, 0},
                 {1.5, 2},
                 {-2.5, -2},
                 {-3.5, -4},
                 {2.4999, 2},
                 {2.5001, 3},
                 {-0.4, 0},
                 {0.4, 0},
                 {7, 7},
                 {2147483647.0, 2147483647},
                 {2147483647.4, 2147483647},
                 {-2147483648.0, -2147483648LL}};
    for (const auto& c : cases) EXPECT_EQ(RoundHalfEvenToInt32(c.value), c.rounded) << c.value;
}

TEST(RoundHalfEven, FailsOutsideTheType) {
    for (double v : {2147483647.5, 2147483648.0, -2147483648.6, -2147483649.0, 3e9,
                     std::numeric_limits<double>::infinity(), std::nan("")})
        EXPECT_FALSE(RoundHalfEvenToInt32(v)) << v;
    EXPECT_EQ(RoundHalfEvenToInt16(32767.4), 32767);
    EXPECT_EQ(RoundHalfEvenToInt16(-32768.5), -32768);  // the even neighbour fits
    EXPECT_EQ(RoundHalfEvenToInt32(-2147483648.5), -2147483648LL);
    EXPECT_EQ(RoundHalfEvenToInt16(32766.5), 32766);
    EXPECT_FALSE(RoundHalfEvenToInt16(32767.5));
    EXPECT_FALSE(RoundHalfEvenToInt16(-32769));
}

}  // namespace
}  // namespace vb::rules
