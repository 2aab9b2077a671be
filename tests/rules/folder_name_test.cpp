#include "rules/folder_name.h"

#include <gtest/gtest.h>

namespace vb::rules {
namespace {

TEST(IsPlainFolderName, AcceptsOrdinaryNames) {
    for (const char* name : {"srv", "www.example.com", "サーバー", "a b", ".hidden", "a..b",
                             "console", "com10", "nul-server"})
        EXPECT_TRUE(IsPlainFolderName(name)) << name;
}

TEST(IsPlainFolderName, RefusesNamesThatLeaveTheFolderOrCannotBeFileNames) {
    for (const char* name : {"", ".", "..", "a/b", "/", "a\\b", "..\\x", "a:b", "a*", "a?", "a\"b",
                             "a<b", "a>b", "a|b", "a\tb", "a\nb", "a\x7f", "a\xc2\x85"})
        EXPECT_FALSE(IsPlainFolderName(name)) << name;
}

TEST(IsPlainFolderName, RefusesWhatWindowsWouldRenameOrTakeForADevice) {
    for (const char* name : {"host.", "host ", "...", "CON", "con", "nul.txt", "Aux .x", "COM1",
                             "lpt9", "LPT\u00b9", "conin$"})
        EXPECT_FALSE(IsPlainFolderName(name)) << name;
}

}  // namespace
}  // namespace vb::rules
