#include "platform/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <regex>

#include "platform/system_error.h"
#include "temp_dir.h"

using namespace vb::platform;
namespace fs = std::filesystem;
using vb::test::ReadBytes;
using vb::test::TempDir;
using vb::test::WriteBytes;

namespace {

class FileSystemTest : public ::testing::Test {
  protected:
    TempDir dir;
    FileSystemObject fso;
};

TEST_F(FileSystemTest, ListsOnlyFilesSortedByName) {
    WriteBytes(dir / "b.txt", "b");
    WriteBytes(dir / "a.jpg", "a");
    WriteBytes(dir / "C.txt", "c");
    fs::create_directory(dir / "sub");
    WriteBytes(dir / "sub/inner.txt", "x");
    fs::create_symlink(dir / "a.jpg", dir / "link-to-file");
    fs::create_directory_symlink(dir / "sub", dir / "link-to-folder");
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);

    const Folder folder = fso.GetFolder(dir.str());
    std::vector<std::string> names;
    for (const auto& f : folder.Files()) names.push_back(f.Name);
    EXPECT_EQ(names, (std::vector<std::string>{"C.txt", "a.jpg", "b.txt", "link-to-file"}));
    EXPECT_EQ(folder.Count(), 4u);
    EXPECT_EQ(folder.Files()[0].Path, dir / "C.txt");
}

TEST_F(FileSystemTest, FolderExistsOnlyForFolders) {
    WriteBytes(dir / "file", "");
    EXPECT_TRUE(fso.FolderExists(dir.str()));
    EXPECT_TRUE(fso.FolderExists(dir.str() + "/"));
    EXPECT_FALSE(fso.FolderExists(dir / "file"));
    EXPECT_FALSE(fso.FolderExists(dir / "missing"));
    EXPECT_FALSE(fso.FolderExists(""));
    EXPECT_THROW(fso.GetFolder(dir / "missing"), SystemError);
}

TEST_F(FileSystemTest, WritesExactlyTheBytesGiven) {
    fso.WriteAllText(dir / "p.html", "あ\r\nb©");
    EXPECT_EQ(ReadBytes(dir / "p.html"), "\x82\xa0\r\nb&#169;");
    fso.WriteAllText(dir / "p.html", "x");  // replaced, not appended
    EXPECT_EQ(ReadBytes(dir / "p.html"), "x");
    fso.WriteAllText(dir / "empty", "");
    EXPECT_EQ(ReadBytes(dir / "empty"), "");
}

TEST_F(FileSystemTest, ReadsWholeFilesAndRefusesWhatIsNotAFile) {
    WriteBytes(dir / "s.txt", std::string("\x82\xa0\xff\r\n", 5));
    EXPECT_EQ(fso.ReadAllBytes(dir / "s.txt"), std::string("\x82\xa0\xff\r\n", 5));
    fso.WriteAllText(dir / "copy", fso.ReadAllText(dir / "s.txt"));
    EXPECT_EQ(ReadBytes(dir / "copy"), ReadBytes(dir / "s.txt"));

    fs::create_directory(dir / "template.html");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    for (const std::string name : {"template.html", "fifo", "missing"}) {
        EXPECT_FALSE(fso.CanOpenForReading(dir / name)) << name;
        EXPECT_THROW(fso.ReadAllBytes(dir / name), SystemError) << name;
    }
    EXPECT_TRUE(fso.CanOpenForReading(dir / "s.txt"));
}

TEST_F(FileSystemTest, FailureDescriptionNamesThePath) {
    try {
        fso.ReadAllBytes(dir / "missing.txt");
        FAIL();
    } catch (const SystemError& e) {
        EXPECT_NE(std::string(e.what()).find(dir / "missing.txt"), std::string::npos);
    }
}

TEST_F(FileSystemTest, DeleteFolderRemovesEverythingButFollowsNoLink) {
    const std::string out = dir / "out";
    fs::create_directories(out + "/sub/deeper");
    WriteBytes(out + "/a.html", "a");
    WriteBytes(out + "/sub/deeper/b", "b");
    fs::create_directory(dir / "outside");
    WriteBytes(dir / "outside/keep.txt", "keep");
    fs::create_directory_symlink(dir / "outside", out + "/link");
    fs::create_symlink(dir / "outside/keep.txt", out + "/filelink");

    fso.DeleteFolder(out);
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(ReadBytes(dir / "outside/keep.txt"), "keep");
}

TEST_F(FileSystemTest, DeleteFolderRefusesWriteProtectedContentBeforeDeletingAnything) {
    const std::string out = dir / "out";
    fs::create_directories(out + "/sub");
    WriteBytes(out + "/a.html", "a");
    WriteBytes(out + "/sub/locked", "l");
    fs::permissions(out + "/sub/locked", fs::perms::owner_read | fs::perms::group_read);

    EXPECT_THROW(fso.DeleteFolder(out), SystemError);
    EXPECT_TRUE(fs::exists(out + "/a.html"));
    EXPECT_TRUE(fs::exists(out + "/sub/locked"));
}

TEST_F(FileSystemTest, DeleteFolderOnALinkRemovesOnlyTheLink) {
    fs::create_directory(dir / "real");
    WriteBytes(dir / "real/keep", "k");
    fs::create_directory_symlink(dir / "real", dir / "out");
    fso.DeleteFolder(dir / "out");
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "out")));
    EXPECT_EQ(ReadBytes(dir / "real/keep"), "k");
}

TEST_F(FileSystemTest, CreateAndDeleteFolderFailures) {
    EXPECT_THROW(fso.DeleteFolder(dir / "missing"), SystemError);
    EXPECT_THROW(fso.CreateFolder(dir / "missing/child"), SystemError);
    fso.CreateFolder(dir / "new");
    EXPECT_TRUE(fs::is_directory(dir / "new"));
    EXPECT_THROW(fso.CreateFolder(dir / "new"), SystemError);
}

TEST_F(FileSystemTest, TempNamesHaveFiveHexDigitsAndFollowTheirSeed) {
    const std::regex shape("rad[0-9A-F]{5}\\.tmp");
    fso.SeedTempNames(42);
    std::vector<std::string> first;
    for (int i = 0; i < 50; ++i) {
        first.push_back(fso.GetTempName());
        EXPECT_TRUE(std::regex_match(first.back(), shape)) << first.back();
    }
    fso.SeedTempNames(42);
    for (const auto& name : first) EXPECT_EQ(fso.GetTempName(), name);
}

TEST(FileSystemBaseName, DropsFolderAndExtension) {
    EXPECT_EQ(FileSystemObject::GetBaseName("radA3F9C.tmp"), "radA3F9C");
    EXPECT_EQ(FileSystemObject::GetBaseName("/x/y/name.tar.gz"), "name.tar");
    EXPECT_EQ(FileSystemObject::GetBaseName("/x/y/noext"), "noext");
}

}  // namespace
