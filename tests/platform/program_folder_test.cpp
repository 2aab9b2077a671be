#include "platform/program_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace vb::platform;

TEST(ProgramFolder, IsTheFolderOfTheRunningExecutable) {
    SetProgramFolderForTesting("");
    const auto self = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(ProgramFolder(), self.parent_path().string());
    EXPECT_EQ(ExecutableBaseName(), self.stem().string());
}

TEST(ProgramFolder, TestsCanPointItElsewhere) {
    SetProgramFolderForTesting("/tmp/x", "Other");
    EXPECT_EQ(ProgramFolder(), "/tmp/x");
    EXPECT_EQ(ExecutableBaseName(), "Other");
    SetProgramFolderForTesting("");
}

TEST(ProgramFolder, JoinPathPutsExactlyOneSeparator) {
    EXPECT_EQ(JoinPath("/a", "b"), "/a/b");
    EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
    EXPECT_EQ(JoinPath("", "b"), "b");
}
