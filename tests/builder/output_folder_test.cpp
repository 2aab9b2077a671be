#include "builder/output_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/native_path.h"
#include "platform/program_folder.h"
#include "temp_dir.h"

namespace vb::builder {
namespace {

TEST(IsSameOrInside, ResolvesSpellingsAndLinks) {
    test::TempDir tmp;
    namespace fs = std::filesystem;
    fs::create_directories(tmp / "local/srv/sub");
    fs::create_directories(tmp / "srcs");
    const bool linked = test::MakeFolderLink(tmp / "local/srv", tmp / "link");
    const std::string out = tmp / "local/srv";

    EXPECT_TRUE(IsSameOrInside(out, out));
    EXPECT_TRUE(IsSameOrInside(out + "/", out));
    EXPECT_TRUE(IsSameOrInside(tmp / "local/srv/sub", out));
    EXPECT_TRUE(IsSameOrInside(tmp / "local/x/../srv/sub", out));
    if (linked) EXPECT_TRUE(IsSameOrInside(tmp / "link", out));
    EXPECT_TRUE(IsSameOrInside(tmp / "local/srv/not-yet", out));

    EXPECT_FALSE(IsSameOrInside(tmp / "local", out));
    EXPECT_FALSE(IsSameOrInside(tmp / "local/srv2", out));
    EXPECT_FALSE(IsSameOrInside(tmp / "srcs", out));
}

TEST(IsSameOrInside, IgnoresLetterCaseWhereTheSystemDoes) {
    test::TempDir tmp;
    std::filesystem::create_directories(platform::PathFromUtf8(tmp / "local/Srv/sub"));
    const bool caseless = platform::SameNameOnThisSystem("Srv", "srv");
    EXPECT_EQ(IsSameOrInside(tmp / "LOCAL/srv/sub", tmp / "local/Srv"), caseless);
}

TEST(OutputFolderPath, IsLocalThenServerInTheProgramFolder) {
    platform::SetProgramFolderForTesting("/opt/vb");
    EXPECT_EQ(OutputFolderPath("srv"),
              platform::JoinPath(platform::JoinPath("/opt/vb", "local"), "srv"));
    platform::SetProgramFolderForTesting("");
}

}  // namespace
}  // namespace vb::builder
