#include "rules/server_entry.h"

#include <gtest/gtest.h>

#include <random>

namespace vb::rules {
namespace {

TEST(ServerEntryTest, EntriesSplitAtEverySingleSpace) {
    const ServerWords w = SplitServerEntry("a  b c d");
    EXPECT_EQ(w.server, "a");
    EXPECT_EQ(w.user, "");
    EXPECT_EQ(w.password, "b");
    EXPECT_EQ(ServerListName("a  b c d"), "a");
}

// However the words of an entry are spaced, what the command line shows of it is the host
// alone, and the host finds the entry unless two entries share it.
TEST(ServerEntryTest, TheShownNameNeverHoldsMoreThanTheHost) {
    const std::vector<std::string> blanks = {" ", "\t", "　", "\xC2\xA0", "\xE2\x80\x83", "\r\n"};
    std::mt19937 rng(31);
    for (int round = 0; round < 200; ++round) {
        const std::string host = "h" + std::to_string(round) + ".example";
        const auto blank = [&] { return blanks[rng() % blanks.size()]; };
        const std::string entry = host + blank() + "user" + blank() + "secret" + blank();
        const std::string listName = ServerListName(entry);
        EXPECT_EQ(ServerShownName(listName), host) << entry;
        const std::vector<std::string> list = {"other.example", listName};
        EXPECT_EQ(FindServer(list, host), 1u) << entry;
        EXPECT_EQ(FindServer(list, listName), 1u) << entry;
    }
    // Two entries with one host: neither is chosen by it; a whole list name still chooses.
    const std::vector<std::string> twice = {"h\tu\tp", "h\tv\tq"};
    EXPECT_FALSE(FindServer(twice, "h"));
    EXPECT_EQ(FindServer(twice, "h\tv\tq"), 1u);
    EXPECT_FALSE(FindServer(twice, "h\t"));
}

}  // namespace
}  // namespace vb::rules
