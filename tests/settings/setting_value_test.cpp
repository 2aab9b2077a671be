// How values are stored: ordinary values as their plain cp932 bytes, line breaks as spaces,
// and characters cp932 cannot hold (and the escape's own literal form) so that they survive.
#include "settings/setting_value.h"

#include <gtest/gtest.h>

#include <string>

namespace vb::settings {
namespace {

struct StoredCase {
    const char* name;
    std::string value;   // UTF-8, as in the window
    std::string stored;  // cp932 bytes, as in the file
};
void PrintTo(const StoredCase& c, std::ostream* os) { *os << c.name; }

class StoredFormTest : public testing::TestWithParam<StoredCase> {};

TEST_P(StoredFormTest, EncodesToTheStoredBytes) {
    EXPECT_EQ(EncodeSettingValue(GetParam().value), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredFormTest,
    testing::Values(StoredCase{"Ascii", "C:\\src dir\\a;b=c", "C:\\src dir\\a;b=c"},
                    StoredCase{"Japanese", "ヴォルナック",
                               "\x83\x94\x83\x48\x83\x8B\x83\x69\x83\x62\x83\x4E"},
                    StoredCase{"AmpersandsWithoutHash", "&amp; & a&b #1", "&amp; & a&b #1"},
                    StoredCase{"HandWrittenReferenceKeptAsText", "&#12354;", "&#38;#12354;"},
                    StoredCase{"LineBreaksBecomeSpaces", "a\r\nb\nc\rd", "a  b c d"},
                    StoredCase{"Unmappable", "\xC3\xBC\xF0\x9F\x98\x80", "&#252;&#128512;"},
                    StoredCase{"EscapeLiteralEscaped", "&#", "&#38;#"},
                    StoredCase{"WaveDashDecodesAsAnotherCharacter", "\xE3\x80\x9C", "&#12316;"}),
    [](const testing::TestParamInfo<StoredCase>& info) { return info.param.name; });

class RoundTripTest : public testing::TestWithParam<std::string> {};

TEST_P(RoundTripTest, SurvivesStoreAndLoad) {
    EXPECT_EQ(DecodeSettingValue(EncodeSettingValue(GetParam())), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Values, RoundTripTest,
                         testing::Values("", "plain", "ヴォルナック <a href='x'>ヴォルナック</a>",
                                         "ü€♥©😀", "&#", "&#38;#", "&&#", "&#;", "&#x41;",
                                         "&#12354;", "&#252;", "&#38;", "😀#", "a&#9829;b&#", "〜～",
                                         "①Ⅻ㈱", "&#99999999;", "\xEF\x9E\x80"));

struct LoadCase {
    const char* name;
    std::string stored;
    std::string value;
};
void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.name; }

class LoadTest : public testing::TestWithParam<LoadCase> {};

TEST_P(LoadTest, DecodesHandWrittenText) {
    EXPECT_EQ(DecodeSettingValue(GetParam().stored), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadTest,
    testing::Values(LoadCase{"ReferenceToHoldableCharacterStaysText", "&#12354;", "&#12354;"},
                    LoadCase{"ReferenceToUnholdableCharacter", "&#9829;", "\xE2\x99\xA5"},
                    LoadCase{"AmpersandReferenceWithoutHashStaysText", "&#38;x", "&#38;x"},
                    LoadCase{"BeyondUnicodeStaysText", "&#1114112;", "&#1114112;"},
                    LoadCase{"SurrogateStaysText", "&#55296;", "&#55296;"},
                    LoadCase{"NulStaysText", "&#0;", "&#0;"},
                    LoadCase{"UnterminatedStaysText", "&#252", "&#252"},
                    LoadCase{"Japanese", "\x82\xA0", "あ"}),
    [](const testing::TestParamInfo<LoadCase>& info) { return info.param.name; });

}  // namespace
}  // namespace vb::settings
