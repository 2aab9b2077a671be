#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "file_system_fixture.h"
#include "platform/native_path.h"
#include "platform/save/whole_file.h"
#include "platform/system_error.h"
#include "temp_dir.h"

using namespace vb::platform;
namespace fs = std::filesystem;
using vb::test::ReadBytes;
using vb::test::WriteBytes;

namespace {

using FileSystemTest = vb::test::FileSystemFixture;

TEST_F(FileSystemTest, ListsOnlyFilesSortedByName) {
    WriteBytes(dir / "b.txt", "b");
    WriteBytes(dir / "a.jpg", "a");
    WriteBytes(dir / "C.txt", "c");
    fs::create_directory(dir / "sub");
    WriteBytes(dir / "sub/inner.txt", "x");
    // Byte order on every system: upper case before lower, Japanese and emoji after ASCII.
    WriteBytes(dir / "\xF0\x9F\x98\x80.txt", "e");
    WriteBytes(dir / "ソース.txt", "j");

    const Folder folder = fso.GetFolder(dir.str());
    std::vector<std::string> names;
    for (const auto& f : folder.Files()) names.push_back(f.name);
    EXPECT_EQ(names, (std::vector<std::string>{"C.txt", "a.jpg", "b.txt", "ソース.txt",
                                               "\xF0\x9F\x98\x80.txt"}));
    EXPECT_EQ(folder.Files()[0].path, dir / "C.txt");
    EXPECT_EQ(fso.ReadAllBytes(folder.Files()[4].path), "e");
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

    // A page written from pieces: more of them than one gathered write takes, empty ones
    // among them, makes the file of them all in order.
    std::vector<std::string> texts;
    for (int i = 0; i < 150; ++i)
        texts.push_back(
            std::string(static_cast<std::size_t>(i % 7 * 300), static_cast<char>('a' + i % 26)));
    const std::vector<std::string_view> pieces(texts.begin(), texts.end());
    fso.WriteAllPieces(dir / "pieces.html", pieces);
    std::string joined;
    for (const auto& text : texts) joined += text;
    EXPECT_EQ(ReadBytes(dir / "pieces.html"), joined);
}

TEST_F(FileSystemTest, ReadsWholeFilesAndRefusesWhatIsNotAFile) {
    WriteBytes(dir / "s.txt", std::string("\x82\xa0\xff\r\n", 5));
    EXPECT_EQ(fso.ReadAllBytes(dir / "s.txt"), std::string("\x82\xa0\xff\r\n", 5));
    fso.WriteAllText(dir / "copy", fso.ReadAllText(dir / "s.txt"));
    EXPECT_EQ(ReadBytes(dir / "copy"), ReadBytes(dir / "s.txt"));

    fs::create_directory(dir / "template.html");
    for (const std::string name : {"template.html", "missing"}) {
        EXPECT_FALSE(fso.CanOpenForReading(dir / name)) << name;
        EXPECT_THROW(fso.ReadAllBytes(dir / name), SystemError) << name;
    }
    EXPECT_TRUE(fso.CanOpenForReading(dir / "s.txt"));
}

// The reader's buffer is reused: each read gives exactly its file's bytes, a short file after
// a long one included; a folder is refused as a file that cannot be opened, named in full.
TEST_F(FileSystemTest, ReadsFilesOfAHeldFolderWholeOneAfterAnother) {
    const std::string large(100000, 'L');
    WriteBytes(dir / "large", large);
    WriteBytes(dir / "small", "sm");
    fs::create_directory(dir / "sub");
    FolderReader folder(dir.str());
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(fso.ReadFileOf(folder, "small"), "sm");
        EXPECT_EQ(fso.ReadFileOf(folder, "large"), large);
    }
    for (const std::string name : {"sub", "missing"}) {
        try {
            fso.ReadFileOf(folder, name);
            ADD_FAILURE() << name;
        } catch (const SystemError& e) {
            EXPECT_NE(std::string(e.what()).find("ファイルを開けません。"), std::string::npos);
            EXPECT_NE(std::string(e.what()).find(dir / name), std::string::npos) << e.what();
        }
    }
}

// A file larger than one system read takes (about 2 GiB on Linux, 1 GiB a call on Windows)
// is read to its end by the source reader and the whole-file read, not to where one call
// stopped. The file is sparse, so it costs the disk nothing.
TEST_F(FileSystemTest, ReadsAFileLargerThanOneSystemReadToItsEnd) {
#ifdef _WIN32
    const std::uintmax_t size = (std::uintmax_t{1} << 30) + 4097;
#else
    const std::uintmax_t size = (std::uintmax_t{1} << 31) + 4097;
#endif
    const std::string tail = "end of a large file";
    {
        std::ofstream out(PathFromUtf8(dir / "large"), std::ios::binary);
        out.seekp(static_cast<std::streamoff>(size - tail.size()));
        out << tail;
    }
    const auto endsWhole = [&](std::string_view bytes) {
        return bytes.size() == size && bytes.ends_with(tail) && bytes[size / 2] == '\0';
    };
    FolderReader folder(dir.str());
    EXPECT_TRUE(endsWhole(fso.ReadFileOf(folder, "large")));
    EXPECT_TRUE(endsWhole(ReadWholeFile(dir / "large").bytes));
}

TEST_F(FileSystemTest, FailureDescriptionNamesThePath) {
    try {
        fso.ReadAllBytes(dir / "missing.txt");
        FAIL();
    } catch (const SystemError& e) {
        EXPECT_NE(std::string(e.what()).find(dir / "missing.txt"), std::string::npos);
    }
}

TEST_F(FileSystemTest, DeleteFolderRefusesWriteProtectedContentBeforeDeletingAnything) {
    const std::string out = dir / "out";
    fs::create_directories(out + "/sub");
    WriteBytes(out + "/a.html", "a");
    WriteBytes(out + "/sub/locked", "l");
    fs::permissions(out + "/sub/locked", fs::perms::owner_read | fs::perms::group_read);

    EXPECT_THROW(DeleteFolder(out), SystemError);
    EXPECT_TRUE(fs::exists(out + "/a.html"));
    EXPECT_TRUE(fs::exists(out + "/sub/locked"));
}

TEST_F(FileSystemTest, CreateAndDeleteFolderFailures) {
    EXPECT_THROW(DeleteFolder(dir / "missing"), SystemError);
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

// A --log on a file the program reads is refused: ".." and links decide, not the text.
TEST(NativePathTest, OneFileUnderAnyName) {
    vb::test::TempDir dir;
    fs::create_directories(PathFromUtf8(dir / "下"));
    WriteBytes(dir / "VornackBuilder.ini", "");
    EXPECT_TRUE(IsSameFile(dir / "下/../VornackBuilder.ini", dir / "VornackBuilder.ini"));
    EXPECT_FALSE(IsSameFile(dir / "下/VornackBuilder.ini", dir / "VornackBuilder.ini"));
}
