// The profile reader and writer side by side with the system's own profile functions
// (GetPrivateProfileStringA, WritePrivateProfileStringA) on generated files: every key reads
// the same from the same file, the same after the same write, and the system's reader reads
// our written file as our reader does.
//
// Left out of the generated files, on purpose:
// - byte-order marks: the system decodes a marked file as Unicode; ours is cp932 text only;
// - NUL bytes: the system's reader stops at them;
// - lines without "=" (other than blank lines and headers): the system takes them as keys
//   without a value, which hide a later entry of that key; our reader takes them as no entry;
// - values cut at the read buffer's size inside a double-byte character;
// - a lone CR followed later by an LF: Wine then ends lines at LF only (where Windows ends
//   them at the CR too), so CR ends lines here only in files that hold no LF;
// - written values in quotes: the system stores them as they are and reads them without the
//   quotes, ours stores them inside one more pair so that they read back as written (our
//   written file is still compared with the system's reader).
#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <string>
#include <vector>

#include "settings/profile_format.h"
#include "temp_dir.h"

namespace vb::settings::profile {
namespace {

// cp932 names: ゾ ends in "]", ア and ヂ differ only by the case of their second byte.
const std::string kZo = "\x83\x5D";
const std::string kA = "\x83\x41";
const std::string kDi = "\x83\x61";

const std::vector<std::string> kSections = {"S", "s", "T", kZo};
const std::vector<std::string> kKeys = {"A", "b", kA, kDi, "C"};

std::string SystemRead(const std::string& path, const std::string& section,
                       const std::string& key) {
    std::vector<char> buffer(kReadBufferSize);
    const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer.data(),
                                             static_cast<DWORD>(buffer.size()), path.c_str());
    return std::string(buffer.data(), n);
}

// A file of random lines: headers, entries with blanks, quotes and double-byte names,
// comments and blank lines, each ending in CR LF, LF, or (in a file without LF) CR.
std::string RandomFile(std::mt19937& random) {
    const std::vector<std::string> values = {"1",  " x y ", "",  "\"q\"", "'q'",   "\"q'",
                                             "\"", "a=b",   kDi, "\"\"",  " ' ' ", "[v]"};
    const bool crOnly = random() % 6 == 0;
    const std::vector<std::string> ends =
        crOnly ? std::vector<std::string>{"\r"} : std::vector<std::string>{"\r\n", "\r\n", "\n"};
    std::string file;
    const int lines = 1 + static_cast<int>(random() % 9);
    for (int i = 0; i < lines; ++i) {
        switch (random() % 5) {
            case 0:
                file += (random() % 2 ? "[" : " [ ") + kSections[random() % kSections.size()] + "]";
                break;
            case 1:
                file += random() % 4 ? "" : "; note=" + values[random() % values.size()];
                break;
            default:
                file += kKeys[random() % kKeys.size()] + (random() % 2 ? "=" : " \t= ") +
                        values[random() % values.size()];
        }
        if (i + 1 < lines || random() % 2) file += ends[random() % ends.size()];
    }
    return file;
}

TEST(ProfilePlatformTest, ReadsAndWritesAsTheSystemsProfileFunctions) {
    if (GetACP() != 932) GTEST_SKIP() << "the names and values are cp932: needs code page 932";
    test::TempDir dir;
    std::mt19937 random(20261207);
    const std::vector<std::string> written = {"9", "new value", "", kA + "=" + kZo};
    for (int round = 0; round < 250; ++round) {
        const std::string file = RandomFile(random);
        const std::string section = kSections[random() % kSections.size()];
        const std::string key = kKeys[random() % kKeys.size()];
        const std::string value = written[random() % written.size()];
        // A new name each round: the system keeps recently read files in memory.
        const std::string theirs = dir / ("theirs" + std::to_string(round) + ".ini");
        const std::string ours = dir / ("ours" + std::to_string(round) + ".ini");
        test::WriteBytes(theirs, file);
        SCOPED_TRACE(testing::PrintToString(file) + " writing " + section + "/" + key);
        for (const auto& s : kSections)
            for (const auto& k : kKeys)
                EXPECT_EQ(ReadValue(file, s, k), SystemRead(theirs, s, k))
                    << "read " << s << "/" << k;

        ASSERT_TRUE(WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                               theirs.c_str()));
        const std::string mine = WriteValue(file, section, key, value);
        test::WriteBytes(ours, mine);
        for (const auto& s : kSections) {
            for (const auto& k : kKeys) {
                EXPECT_EQ(ReadValue(mine, s, k), SystemRead(theirs, s, k))
                    << "after write " << s << "/" << k;
                EXPECT_EQ(ReadValue(mine, s, k), SystemRead(ours, s, k))
                    << "ours read " << s << "/" << k;
            }
        }
        if (HasFailure()) return;
    }
}

// A quoted value is stored so that the system's reader, like ours, reads it back as written.
TEST(ProfilePlatformTest, AQuotedValueReadsBackAsWritten) {
    if (GetACP() != 932) GTEST_SKIP() << "needs code page 932";
    test::TempDir dir;
    const std::string path = dir / "quoted.ini";
    test::WriteBytes(path, WriteValue("", "Setting", "Title1", "\"Summer sale\""));
    EXPECT_EQ(SystemRead(path, "Setting", "Title1"), "\"Summer sale\"");
}

}  // namespace
}  // namespace vb::settings::profile
