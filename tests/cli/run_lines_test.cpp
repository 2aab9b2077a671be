#include "cli/run_lines.h"

#include <gtest/gtest.h>

#include <random>

namespace vb::cli {
namespace {

// The value of name="..." in a line, read from the left as a reader of the log must: a
// value's doubled quotes are one quote, a single one ends it.
std::string QuotedField(const std::string& line, const std::string& name) {
    for (std::size_t at = line.find(") ") + 1; at < line.size();) {
        const std::size_t equals = line.find('=', at);
        if (equals == std::string::npos) break;
        const std::string field = line.substr(at + 1, equals - at - 1);
        std::string value;
        at = equals + 1;
        if (line[at] != '"') {
            at = line.find(' ', at);
            continue;
        }
        for (++at; at < line.size() && !(line[at] == '"' && line[at + 1] != '"'); ++at) {
            if (line[at] == '"') ++at;
            value += line[at];
        }
        if (field == name) return value;
        ++at;
    }
    return "<missing>";
}

// Whatever the fields hold, the first line is one line from which each can be read back.
TEST(RunLinesTest, TheFirstLineIsOneLineWhoseFieldsReadBack) {
    const std::string pieces[] = {"a", " ", "\"", "\"\"", "=", "title=\"x\"", "ヴォ", "\\", "\t"};
    std::mt19937 rng(30);
    const auto text = [&] {
        std::string t;
        for (int n = static_cast<int>(rng() % 5); n > 0; --n)
            t += pieces[rng() % std::size(pieces)];
        return t;
    };
    for (int round = 0; round < 500; ++round) {
        const RunStart start{
            "2024-06-07T03:00:05+09:00",       "0.9.19", text(), text(), text(), text(),
            static_cast<std::uint32_t>(rng()), text()};
        const std::string line = FirstLogLine(start);
        ASSERT_EQ(line.find('\n'), line.size() - 1) << line;
        EXPECT_EQ(QuotedField(line, "server"), start.server) << line;
        EXPECT_EQ(QuotedField(line, "title"), start.title) << line;
        EXPECT_EQ(QuotedField(line, "output"), start.outputFolder) << line;
        EXPECT_NE(line.find(" seed=" + std::to_string(start.seed) + " "), std::string::npos);
    }
    RunStart broken;
    broken.title = "a\r\nb";
    EXPECT_EQ(QuotedField(FirstLogLine(broken), "title"), "a  b");
}

TEST(RunLinesTest, TheLastLineSaysHowTheRunEnded) {
    const std::string line =
        LastLogLine({"2024-06-07T03:00:09+09:00", 500, 2, 997, 3.5, builder::Outcome::Busy});
    EXPECT_EQ(line, "2024-06-07T03:00:09+09:00 " + LoggedName() +
                        " 終了 (end) pages-written=500 "
                        "warnings=2 repeated-warnings=997 seconds=3.5 outcome=busy\n");
}

}  // namespace
}  // namespace vb::cli
