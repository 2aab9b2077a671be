#include "builder/output_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "codec/utf8.h"
#include "platform/native_path.h"
#include "platform/own_name.h"
#include "platform/program_folder.h"
#include "temp_dir.h"

namespace vb::builder {
namespace {

TEST(IsSameOrInside, ResolvesSpellingsAndLinks) {
    test::TempDir tmp;
    namespace fs = std::filesystem;
    fs::create_directories(tmp / "local/srv/sub");
    fs::create_directories(tmp / "srcs");
    const std::string out = tmp / "local/srv";

    EXPECT_TRUE(IsSameOrInside(out, out));
    EXPECT_TRUE(IsSameOrInside(out + "/", out));
    EXPECT_TRUE(IsSameOrInside(tmp / "local/srv/sub", out));
    EXPECT_TRUE(IsSameOrInside(tmp / "local/x/../srv/sub", out));
    EXPECT_TRUE(IsSameOrInside(tmp / "local/srv/not-yet", out));

    EXPECT_FALSE(IsSameOrInside(tmp / "local", out));
    EXPECT_FALSE(IsSameOrInside(tmp / "local/srv2", out));
    EXPECT_FALSE(IsSameOrInside(tmp / "srcs", out));
}

TEST(IsSameOrInside, FollowsLinks) {
    test::TempDir tmp;
    std::filesystem::create_directories(tmp / "local/srv/sub");
    if (!test::MakeFolderLink(tmp / "local/srv", tmp / "link"))
        GTEST_SKIP() << "this system makes no folder links here";
    EXPECT_TRUE(IsSameOrInside(tmp / "link", tmp / "local/srv"));
    EXPECT_TRUE(IsSameOrInside(tmp / "link/sub", tmp / "local/srv"));
    EXPECT_FALSE(IsSameOrInside(tmp / "local", tmp / "link"));
}

TEST(IsSameOrInside, IgnoresLetterCaseWhereTheSystemDoes) {
    test::TempDir tmp;
    std::filesystem::create_directories(platform::PathFromUtf8(tmp / "local/Srv/sub"));
    const bool caseless = platform::SameNameOnThisSystem("Srv", "srv");
    EXPECT_EQ(IsSameOrInside(tmp / "LOCAL/srv/sub", tmp / "local/Srv"), caseless);
}

TEST(OutputFolderPath, IsLocalThenServerInTheProgramFolder) {
    platform::SetProgramFolderForTesting("/opt/vb");
    EXPECT_EQ(std::filesystem::path(OutputFolderPath("srv")),
              std::filesystem::path("/opt/vb") / "local" / "srv");
    platform::SetProgramFolderForTesting("");
}

TEST(OutputLockName, FitsAFileNameAndKeepsLongServersApart) {
    // Server names of every length up to a file name's limit, of one- and three-byte
    // characters and both in turn: each lock name fits 255 bytes, ends on a whole character, is not
    // the server's own name, and two names give two locks.
    std::set<std::string> locks;
    for (std::size_t length = 1; length <= 255; ++length) {
        for (const std::string unit : {"a", "\xe3\x81\x82", "a\xe3\x81\x82"}) {
            std::string name;
            while (name.size() + unit.size() <= length) name += unit;
            if (name.empty()) continue;
            const std::string lock = OutputLockName(name);
            EXPECT_LE(lock.size(), 255u) << name;
            EXPECT_NE(lock, name);
            EXPECT_TRUE(lock.ends_with(std::string(platform::kOwnNameMark) + "lock"));
            std::string whole;  // the characters decoded and encoded again
            for (std::size_t pos = 0; pos < lock.size();)
                codec::utf8::Append(whole, codec::utf8::DecodeAt(lock, pos));
            EXPECT_EQ(whole, lock);
            locks.insert(lock);
        }
    }
    EXPECT_EQ(locks.size(), 255u + 85u + 63u);
    std::string upper, lower;  // fullwidth Ａ and ａ: one letter where the system ignores case
    for (int i = 0; i < 90; ++i) upper += "\xef\xbc\xa1", lower += "\xef\xbd\x81";
    EXPECT_EQ(platform::SameNameOnThisSystem(OutputLockName(upper), OutputLockName(lower)),
              platform::SameNameOnThisSystem(upper, lower));
    EXPECT_TRUE(std::filesystem::path(OutputLockPath("srv")).parent_path() ==
                std::filesystem::path(OutputFolderPath("srv")).parent_path());
}

}  // namespace
}  // namespace vb::builder
