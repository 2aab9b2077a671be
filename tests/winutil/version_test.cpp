#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <regex>

#include "fakes.h"
#include "platform/app_title.h"
#include "winutil/fun_easy_version.h"

namespace vb::winutil {
namespace {

std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
        lines.push_back(text.substr(start, at - start));
    lines.push_back(text.substr(start));
    return lines;
}

// Major, minor and revision of the project version, in plain decimal without padding.
TEST(Version, IsPlainDecimalWithoutPadding) {
    EXPECT_TRUE(std::regex_match(GetVersion(), std::regex(R"((0|[1-9]\d*)(\.(0|[1-9]\d*)){2})")))
        << GetVersion();
}

TEST(Version, TheBoxHasTitleAndVersionABlankLineAndTheCredit) {
    for (const std::string credit : {"support@vornack.example (Vornack Works)", ""}) {
        test::FakeMessageBox boxes;
        ShowVersion(boxes, credit);
        ASSERT_EQ(boxes.shown().size(), 1u);
        const auto& box = boxes.shown()[0];
        EXPECT_EQ(box.buttons, platform::MsgButtons::OK);
        EXPECT_EQ(box.icon, platform::MsgIcon::Information);
        EXPECT_EQ(box.caption, "ﾊﾞｰｼﾞｮﾝ情報");
        EXPECT_EQ(SplitCrLf(box.text), (std::vector<std::string>{std::string(platform::kAppTitle) +
                                                                     " v" VB_TEST_CAPTION_VERSION,
                                                                 "", "by " + credit}));
        EXPECT_EQ(box.text.find('\n'), box.text.find("\r\n") + 1) << "only CR LF pairs";
    }
}

// The resource's strings give major, minor padded to two digits and revision to four.
TEST(Version, TheWindowsResourceCarriesTheNumbersAndPaddedStrings) {
    std::ifstream in(VB_VERSION_RC_PATH, std::ios::binary);
    ASSERT_TRUE(in) << VB_VERSION_RC_PATH;
    const std::string rc(std::istreambuf_iterator<char>(in), {});
    const std::string numbers = VB_TEST_VERSION_NUMBERS;
    int major = 0, minor = 0, build = 0, revision = 0;
    ASSERT_EQ(std::sscanf(numbers.c_str(), "%d,%d,%d,%d", &major, &minor, &build, &revision), 4);
    char padded[32];
    std::snprintf(padded, sizeof padded, "\"%d.%02d.%04d\"", major, minor, revision);
    for (const std::string& expected : std::vector<std::string>{
             "FILEVERSION " + numbers, "PRODUCTVERSION " + numbers, "BLOCK \"041104B0\"",
             "VALUE \"ProductName\", \"" + std::string(platform::kAppTitle) + "\"",
             "VALUE \"FileVersion\", " + std::string(padded),
             "VALUE \"ProductVersion\", " + std::string(padded),
             "VALUE \"InternalName\", \"VornackBuilder\"",
             "VALUE \"OriginalFilename\", \"VornackBuilder.exe\"",
             "VALUE \"Translation\", 0x411, 1200", "FILETYPE VFT_APP", "FILEOS VOS__WINDOWS32",
             "FILEFLAGS 0x0L"})
        EXPECT_NE(rc.find(expected), std::string::npos) << expected;
}

}  // namespace
}  // namespace vb::winutil
