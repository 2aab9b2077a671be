#include "platform/log_file.h"

#include <gtest/gtest.h>

#include <regex>

#include "platform/local_clock.h"
#include "temp_dir.h"

namespace vb::platform {
namespace {

// Notepad and Windows PowerShell 5.1 read UTF-8 only after a byte-order mark, and want CR LF.
TEST(LogFileTest, WindowsFilesStartWithTheMarkOnceAndEndLinesInCrLf) {
    EXPECT_EQ(LogFileBytes("a\nあ\n", kWindowsLogStyle, true),
              "\xEF\xBB\xBF"
              "a\r\nあ\r\n");
    EXPECT_EQ(LogFileBytes("b\n", kWindowsLogStyle, false), "b\r\n");
    EXPECT_EQ(LogFileBytes("a\nb\n", kPosixLogStyle, true), "a\nb\n");
}

// Two runs append to one file: the second finds the first's lines and starts no new file.
// A file made empty beforehand (to set who may write it) is started as one the log makes.
TEST(LogFileTest, EachRunAppendsInThisSystemsStyle) {
    test::TempDir dir;
    test::WriteBytes(dir / "made.log", "");
    for (const std::string path : {dir / "run.log", dir / "made.log"}) {
        for (const char* run : {"first run\n", "second run\n"}) {
            AppendedLog log;
            ASSERT_EQ(log.Open(path), 0);
            ASSERT_EQ(log.Write(run), 0);
        }
        const LogFileStyle style = SystemLogStyle();
        EXPECT_EQ(test::ReadBytes(path), LogFileBytes("first run\n", style, true) +
                                             LogFileBytes("second run\n", style, false));
    }
    AppendedLog folder;
    EXPECT_NE(folder.Open(dir.str()), 0);
}

TEST(LogFileTest, TimesCarryTheirOffset) {
    EXPECT_EQ(FormatIso8601({2024, 6, 7, 3, 0, 5, 540}), "2024-06-07T03:00:05+09:00");
    EXPECT_EQ(FormatIso8601({1999, 12, 31, 23, 59, 59, -210}), "1999-12-31T23:59:59-03:30");
    EXPECT_TRUE(std::regex_match(LocalTimeIso8601(),
                                 std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d)")));
}

}  // namespace
}  // namespace vb::platform
