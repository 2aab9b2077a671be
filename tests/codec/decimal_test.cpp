#include "codec/decimal.h"

#include <gtest/gtest.h>

#include <string>

namespace vb::codec {
namespace {

TEST(DecimalNumber, TakesDigitsAloneUpToItsBound) {
    for (const std::uint64_t most : {0ull, 9ull, 10ull, 4294967295ull, 18446744073709551615ull}) {
        for (const std::uint64_t n : {most, most / 10, most - most / 3}) {
            EXPECT_EQ(DecimalNumber(std::to_string(n), most), n);
            EXPECT_EQ(DecimalNumber("00" + std::to_string(n), most), n);
        }
        EXPECT_EQ(DecimalNumber(std::to_string(most) + "1", most), std::nullopt);
    }
    EXPECT_EQ(DecimalNumber("18446744073709551616"), std::nullopt);
    for (const char* text : {"", "-1", "+1", " 1", "1 ", "1a", "0x10", "１"})
        EXPECT_EQ(DecimalNumber(text), std::nullopt) << text;
}

}  // namespace
}  // namespace vb::codec
