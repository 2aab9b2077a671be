// The profile format pinned with tiny files: what a read returns, and the exact bytes after
// a write.
#include "settings/profile_format.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace vb::settings::profile {
namespace {

using namespace std::string_literals;

// cp932 bytes of a few katakana, spelled out: ゾ ends in "]", ア and ヂ differ only by the
// case of an ASCII letter in their second byte.
const std::string kZo = "\x83\x5D";
const std::string kA = "\x83\x41";
const std::string kDi = "\x83\x61";
const std::string kHiraganaA = "\x82\xA0";

struct ReadCase {
    const char* name;
    std::string file;
    std::string section;
    std::string key;
    std::string expected;
};
void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class ReadValueTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadValueTest, ReturnsTheCopiedBytes) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(ReadValue(c.file, c.section, c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadValueTest,
    testing::Values(
        ReadCase{"EmptyFile", "", "S", "A", ""}, ReadCase{"Plain", "[S]\r\nA=1\r\n", "S", "A", "1"},
        ReadCase{"NamesIgnoreCase", "[sEtTiNg]\r\nprevSERVER=2\r\n", "Setting", "PrevServer", "2"},
        ReadCase{"BlanksAroundNamesAndValue", "  [ S ]  \r\n \t A \t= \t x y \t\r\n", "S", "A",
                 "x y"},
        ReadCase{"BlanksInsideValueKept", "[S]\r\nA=a  b\r\n", "S", "A", "a  b"},
        ReadCase{"FirstSectionCounts", "[S]\r\nA=1\r\n[s]\r\nA=2\r\nB=3\r\n", "S", "B", ""},
        ReadCase{"FirstEntryCounts", "[S]\r\nA=1\r\na=2\r\n", "S", "A", "1"},
        ReadCase{"EmptyFirstEntryReadsAsMissing", "[S]\r\nA=\r\nA=5\r\n", "S", "A", ""},
        ReadCase{"LineWithoutEqualsIsNoEntry", "[S]\r\nA\r\nA=2\r\n", "S", "A", "2"},
        ReadCase{"ValueMayHoldEquals", "[S]\r\nA=b=c\r\n", "S", "A", "b=c"},
        ReadCase{"EmptyKeyNameIsNotTheKey", "[S]\r\n=1\r\nA=2\r\n", "S", "A", "2"},
        ReadCase{"EntryBeforeAnySection", "A=1\r\n[S]\r\n", "S", "A", ""},
        ReadCase{"EntryOfAnotherSection", "[T]\r\nA=1\r\n[S]\r\nB=2\r\n", "S", "A", ""},
        ReadCase{"LastLineWithoutLineBreak", "[S]\r\nA=1", "S", "A", "1"},
        ReadCase{"TextAfterHeaderIgnored", "[S] ; note\r\nA=1\r\n", "S", "A", "1"},
        ReadCase{"HeaderWithoutCloseIsNoHeader", "[S\r\nA=1\r\n", "S", "A", ""},
        ReadCase{"HeaderMayHoldEquals", "[a=b]\r\nA=1\r\n", "A=B", "A", "1"},
        ReadCase{"LoneLfEndsALine", "[S]\r\nA=1\n[T]\nX=1\r\n", "T", "X", "1"},
        ReadCase{"LoneLfEndsTheValue", "[S]\r\nA=1\n[T]\nX=1\r\n", "S", "A", "1"},
        ReadCase{"LfOnlyFile", "[S]\nA=1\nB=2\n", "S", "B", "2"},
        ReadCase{"CrOnlyFile", "[S]\rA=1\rB=2\r", "S", "B", "2"},
        ReadCase{"QuotesDropped", "[S]\r\nA= \"Summer sale\" \r\n", "S", "A", "Summer sale"},
        ReadCase{"EmptyQuotesReadAsMissing", "[S]\r\nA=''\r\n", "S", "A", ""},
        ReadCase{"MismatchedQuotesKept", "[S]\r\nA=\"x'\r\n", "S", "A", "\"x'"},
        ReadCase{"CommentLinesAreJustText", "[S]\r\n;A=1\r\nA=2\r\n", "S", "A", "2"},
        ReadCase{"TrailByteBracketInSectionName", "[" + kZo + "]\r\nA=1\r\n", kZo, "A", "1"},
        ReadCase{"TrailBytesAreNotCaseFolded", "[S]\r\n" + kDi + "=1\r\n" + kA + "=2\r\n", "S", kA,
                 "2"},
        ReadCase{"OtherBytesCarriedThrough", "[S]\r\nA=\xFF\x80"s + "\0x"s + "\r\n", "S", "A",
                 "\xFF\x80"s + "\0x"s}),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

struct WriteCase {
    const char* name;
    std::string file;
    std::string section;
    std::string key;
    std::string value;
    std::string expected;
};
void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class WriteValueTest : public testing::TestWithParam<WriteCase> {};

TEST_P(WriteValueTest, ChangesOnlyTheEntry) {
    const WriteCase& c = GetParam();
    EXPECT_EQ(WriteValue(c.file, c.section, c.key, c.value), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteValueTest,
    testing::Values(
        WriteCase{"FromScratch", "", "Setting", "A", "1", "[Setting]\r\nA=1\r\n"},
        WriteCase{"EmptyValue", "", "S", "A", "", "[S]\r\nA=\r\n"},
        WriteCase{"Replace", "[S]\r\nA=old\r\nB=2\r\n", "S", "A", "new", "[S]\r\nA=new\r\nB=2\r\n"},
        WriteCase{"ReplaceKeepsSpellingBeforeEquals", "[s]\r\n  a =  old  \r\n", "S", "A", "new",
                  "[s]\r\n  a =new\r\n"},
        WriteCase{"ReplaceFirstOfDuplicates", "[S]\r\nA=1\r\nA=2\r\n[S]\r\nA=3\r\n", "S", "A", "9",
                  "[S]\r\nA=9\r\nA=2\r\n[S]\r\nA=3\r\n"},
        WriteCase{"ReplaceUnterminatedLastLine", "[S]\r\nA=1", "S", "A", "9", "[S]\r\nA=9"},
        WriteCase{"AddAfterLastEntryBeforeTrailingLines",
                  "[S]\r\nA=1\r\n; about T\r\n\r\n[T]\r\nX=1\r\n", "S", "B", "2",
                  "[S]\r\nA=1\r\nB=2\r\n; about T\r\n\r\n[T]\r\nX=1\r\n"},
        WriteCase{"AddAfterEntriesAcrossComments", "[S]\r\nA=1\r\n; c\r\nC=3\r\n\r\n", "S", "B",
                  "2", "[S]\r\nA=1\r\n; c\r\nC=3\r\nB=2\r\n\r\n"},
        WriteCase{"AddRightAfterHeaderWhenNoEntries", "[S]\r\n; c\r\n\r\n", "S", "B", "2",
                  "[S]\r\nB=2\r\n; c\r\n\r\n"},
        WriteCase{"AddAfterUnterminatedLastEntry", "[S]\r\nA=1", "S", "B", "2",
                  "[S]\r\nA=1\r\nB=2\r\n"},
        WriteCase{"AddAfterUnterminatedHeader", "[S]", "S", "B", "2", "[S]\r\nB=2\r\n"},
        WriteCase{"AddToFirstOfDuplicateSections", "[S]\r\nA=1\r\n[s]\r\nB=1\r\n", "S", "B", "2",
                  "[S]\r\nA=1\r\nB=2\r\n[s]\r\nB=1\r\n"},
        WriteCase{"EntryBeforeAnySectionUntouched", "A=0\r\n[S]\r\n", "S", "A", "1",
                  "A=0\r\n[S]\r\nA=1\r\n"},
        WriteCase{"AppendMissingSection", "[T]\r\nX=1\r\n", "S", "A", "1",
                  "[T]\r\nX=1\r\n[S]\r\nA=1\r\n"},
        WriteCase{"AppendMissingSectionAfterUnterminatedLine", "; c", "S", "A", "1",
                  "; c\r\n[S]\r\nA=1\r\n"},
        WriteCase{"OtherBytesUntouched", "\xFF\x00  junk \t\r\n[S]\r\nA=1\r\nX\r\n  \r\n"s, "S",
                  "A", "2", "\xFF\x00  junk \t\r\n[S]\r\nA=2\r\nX\r\n  \r\n"s},
        WriteCase{"MixedLineEndsKeepOtherLines", "[S]\r\nA=1\n[T]\nX=1\r\n", "S", "A", "9",
                  "[S]\r\nA=9\r\n[T]\nX=1\r\n"},
        WriteCase{"AppendSectionAfterLfEndedLine", "[T]\nX=1\n", "S", "A", "1",
                  "[T]\nX=1\n[S]\r\nA=1\r\n"},
        WriteCase{"QuotedValueStoredInOneMorePair", "", "S", "A", "'x'", "[S]\r\nA=''x''\r\n"},
        WriteCase{"TrailByteBracketSection", "[" + kZo + "]\r\nA=1\r\n", kZo, "B", "2",
                  "[" + kZo + "]\r\nA=1\r\nB=2\r\n"}),
    [](const testing::TestParamInfo<WriteCase>& info) { return info.param.name; });

// Random files built from awkward lines: after any write, the written key reads back and
// every other key reads as before.
TEST(ProfileFormatFuzz, WriteThenReadKeepsEveryOtherKey) {
    const std::vector<std::string> pieces = {
        "[S]",     "[s]",      " [ T ] ", "[U", "A=1", " a = 2 ", "B=",     "B=3",
        "C",       "=4",       "; A=5",   "",   "  ",  "x\ny",    "D=\xFF", "[" + kZo + "]",
        kA + "=6", kDi + "=7", "E=\"q\"", "F='"};
    const std::vector<std::string> sections = {"S", "T", "U", kZo};
    const std::vector<std::string> keys = {"A", "B", "C", "D", "E", "F", kA, kDi};
    const std::vector<std::string> values = {
        "v", "long value with = and ; inside", "", kHiraganaA, "\"q\"", "'a'", "\"", "''"};
    const std::vector<std::string> lineEnds = {"\r\n", "\r\n", "\n", "\r"};
    std::mt19937 random(20240601);
    for (int round = 0; round < 2000; ++round) {
        std::string file;
        const int lines = static_cast<int>(random() % 8);
        for (int i = 0; i < lines; ++i) {
            file += pieces[random() % pieces.size()];
            if (i + 1 < lines || random() % 2) file += lineEnds[random() % lineEnds.size()];
        }
        const std::string& section = sections[random() % sections.size()];
        const std::string& key = keys[random() % keys.size()];
        const std::string& value = values[random() % values.size()];
        const std::string written = WriteValue(file, section, key, value);
        SCOPED_TRACE(testing::PrintToString(file) + " " + section + "/" + key);
        EXPECT_EQ(ReadValue(written, section, key), value);
        for (const auto& s : sections) {
            for (const auto& k : keys) {
                if (s == section && k == key) continue;
                EXPECT_EQ(ReadValue(written, s, k), ReadValue(file, s, k)) << s << "/" << k;
            }
        }
        if (HasFailure()) return;
    }
}

}  // namespace
}  // namespace vb::settings::profile
