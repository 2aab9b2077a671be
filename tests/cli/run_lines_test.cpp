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

// Whether the text is UTF-8 throughout with no control character, C0 or C1: what a terminal
// could take as a command, or a log reader as a broken line.
bool IsPlainUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (lead < 0x20 || lead == 0x7F || (lead >= 0x80 && lead < 0xC2) || lead > 0xF4 ||
            i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        if (lead == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) return false;  // C1
        i += length;
    }
    return true;
}

// Names from outside shown on a terminal and in the log: whatever bytes they hold, nothing but
// plain UTF-8 comes out, and what was printable stays as it was.
TEST(RunLinesTest, VisibleTextHoldsNoControlAndIsUtf8) {
    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(rng() % 12, '\0');
        for (char& c : bytes) c = static_cast<char>(rng());
        EXPECT_TRUE(IsPlainUtf8(Visible(bytes))) << testing::PrintToString(bytes);
    }
    EXPECT_EQ(Visible("src/ソース\x1b[31m\n\x7f.txt"), "src/ソース␛[31m␊␡.txt");
    EXPECT_EQ(Visible("a\xff\xc2\x85"
                      "b"),
              "a\uFFFD\uFFFDb");
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
