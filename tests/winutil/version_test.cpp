#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "fakes.h"
#include "winutil/Fun_EasyVersion.h"

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

TEST(Version, IsPlainDecimalWithoutPadding) { EXPECT_EQ(GetVersion(), "0.9.19"); }

TEST(Version, TheBoxHasTitleAndVersionABlankLineAndTheCredit) {
    for (const std::string credit : {"support@vornack.example (Vornack Works)", ""}) {
        test::FakeMessageBox boxes;
        ShowVersion(boxes, credit);
        ASSERT_EQ(boxes.shown().size(), 1u);
        const auto& box = boxes.shown()[0];
        EXPECT_EQ(box.buttons, platform::MsgButtons::OK);
        EXPECT_EQ(box.icon, platform::MsgIcon::Information);
        EXPECT_EQ(box.caption, "ﾊﾞｰｼﾞｮﾝ情報");
        EXPECT_EQ(
            SplitCrLf(box.text),
            (std::vector<std::string>{"ＺＵＮＤヴォルナックビルダー v0.9.19", "", "by " + credit}));
        EXPECT_EQ(box.text.find('\n'), box.text.find("\r\n") + 1) << "only CR LF pairs";
    }
}

TEST(Version, TheWindowsResourceCarriesTheNumbersAndPaddedStrings) {
    std::ifstream in(VB_VERSION_RC_PATH, std::ios::binary);
    ASSERT_TRUE(in) << VB_VERSION_RC_PATH;
    const std::string rc(std::istreambuf_iterator<char>(in), {});
    for (const char* expected :
         {"FILEVERSION 0,9,0,19", "PRODUCTVERSION 0,9,0,19", "BLOCK \"041104B0\"",
          "VALUE \"ProductName\", \"ＺＵＮＤヴォルナックビルダー\"",
          "VALUE \"FileVersion\", \"0.09.0019\"", "VALUE \"ProductVersion\", \"0.09.0019\"",
          "VALUE \"InternalName\", \"VornackBuilder\"",
          "VALUE \"OriginalFilename\", \"VornackBuilder.exe\"",
          "VALUE \"Translation\", 0x411, 1200", "FILETYPE VFT_APP", "FILEOS VOS__WINDOWS32",
          "FILEFLAGS 0x0L"})
        EXPECT_NE(rc.find(expected), std::string::npos) << expected;
}

}  // namespace
}  // namespace vb::winutil
