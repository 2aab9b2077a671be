#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "file_system_fixture.h"
#include "platform/file_system.h"
#include "platform/folder_reader.h"
#include "platform/system_error.h"
#include "temp_dir.h"

// The file service on Linux: links, pipes, and permissions seen by an ordinary user.
using namespace vb::platform;
namespace fs = std::filesystem;
using vb::test::ReadBytes;
using vb::test::WriteBytes;

namespace {

using FileSystemPosixTest = vb::test::FileSystemFixture;

TEST_F(FileSystemPosixTest, ListsLinksToFilesButNoFoldersOrPipes) {
    WriteBytes(dir / "a.jpg", "a");
    fs::create_directory(dir / "sub");
    fs::create_symlink(dir / "a.jpg", dir / "link-to-file");
    fs::create_directory_symlink(dir / "sub", dir / "link-to-folder");
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);

    const Folder folder = fso.GetFolder(dir.str());
    std::vector<std::string> names;
    for (const auto& f : folder.Files()) names.push_back(f.name);
    EXPECT_EQ(names, (std::vector<std::string>{"a.jpg", "link-to-file"}));
}

TEST_F(FileSystemPosixTest, APipeIsNeitherOpenedNorRead) {
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_FALSE(fso.CanOpenForReading(dir / "fifo"));
    EXPECT_THROW(fso.ReadAllBytes(dir / "fifo"), SystemError);
}

// A write-out's reader asks what it opened only when a read looks unlike a plain file's; a
// pipe or device put in a source's place is still refused as unopenable, and never hangs.
TEST_F(FileSystemPosixTest, TheFolderReaderRefusesPipesAndDevices) {
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", dir / "zero");
    fs::create_symlink("/dev/null", dir / "null");
    WriteBytes(dir / "empty", "");
    FolderReader folder(dir.str());
    for (const std::string name : {"fifo", "zero", "null"}) {
        const FolderReader::Read read = folder.ReadFile(name);
        EXPECT_TRUE(read.openFailed && read.error != 0) << name;
    }
    EXPECT_EQ(fso.ReadFileOf(folder, "empty"), "");
}

TEST_F(FileSystemPosixTest, DeleteFolderRemovesEverythingButFollowsNoLink) {
    const std::string out = dir / "out";
    fs::create_directories(out + "/sub/deeper");
    WriteBytes(out + "/a.html", "a");
    WriteBytes(out + "/sub/deeper/b", "b");
    fs::create_directory(dir / "outside");
    WriteBytes(dir / "outside/keep.txt", "keep");
    fs::create_directory_symlink(dir / "outside", out + "/link");
    fs::create_symlink(dir / "outside/keep.txt", out + "/filelink");

    DeleteFolder(out);
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(ReadBytes(dir / "outside/keep.txt"), "keep");
}

TEST_F(FileSystemPosixTest, DeleteFolderOnALinkRemovesOnlyTheLink) {
    fs::create_directory(dir / "real");
    WriteBytes(dir / "real/keep", "k");
    fs::create_directory_symlink(dir / "real", dir / "out");
    DeleteFolder(dir / "out");
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "out")));
    EXPECT_EQ(ReadBytes(dir / "real/keep"), "k");
}

}  // namespace
