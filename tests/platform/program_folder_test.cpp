#include "platform/program_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/native_path.h"

using namespace vb::platform;

TEST(ProgramFolder, IsTheFolderOfTheRunningExecutable) {
    SetProgramFolderForTesting("");
    EXPECT_EQ(ExecutableBaseName(), "platform_tests");
    const auto self = PathFromUtf8(ExecutablePath());
    EXPECT_EQ(ProgramFolder(), Utf8FromPath(self.parent_path()));
    EXPECT_TRUE(std::filesystem::is_regular_file(self));
}

TEST(ProgramFolder, TestsCanPointItElsewhere) {
    SetProgramFolderForTesting("/tmp/x", "Other");
    EXPECT_EQ(ProgramFolder(), "/tmp/x");
    EXPECT_EQ(ExecutableBaseName(), "Other");
    SetProgramFolderForTesting("");
}

TEST(ProgramFolder, JoinPathPutsExactlyOneSeparator) {
    const std::string sep(1, PathSeparator());
    EXPECT_EQ(JoinPath(sep + "a", "b"), sep + "a" + sep + "b");
    EXPECT_EQ(JoinPath(sep + "a" + sep, "b"), sep + "a" + sep + "b");
    EXPECT_EQ(JoinPath("", "b"), "b");
}
