#include "ui/remote_folder.h"

#include <gtest/gtest.h>

namespace vb::ui {
namespace {

TEST(RemoteFolder, PercentEncodingLeavesOnlyUnreservedCharacters) {
    EXPECT_EQ(PercentEncode("aZ09-._~"), "aZ09-._~");
    EXPECT_EQ(PercentEncode("@:/?#[]! %"), "%40%3A%2F%3F%23%5B%5D%21%20%25");
    EXPECT_EQ(PercentEncode("あ"), "%E3%81%82");
}

TEST(RemoteFolder, NoPasswordCanMoveTheHost) {
    // Whatever the password holds, the address's host part is the server.
    for (const char* password : {"p@ss/x", "a#b", "x?y@evil", "@@", "/:@"}) {
        const std::string address = RemoteFolderAddress({"host", "user", password});
        EXPECT_EQ(address.rfind('@'), address.size() - 5) << password;
        EXPECT_EQ(address.find_first_of("/?#", 6), std::string::npos) << password;
    }
}

}  // namespace
}  // namespace vb::ui
