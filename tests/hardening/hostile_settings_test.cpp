// Hostile and broken settings files, one row each: what the user sees after the start
// (field values, no message) and at closing (message boxes), whether the next start shows
// what was typed in this run, and that nothing else is lost.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "codec/codec.h"
#include "hostile_fixture.h"
#include "platform/system_error.h"
#include "settings/api_ini_file_access.h"
#include "settings/ini_setting.h"

namespace vb::test {
namespace {

namespace fs = std::filesystem;
using platform::MsgIcon;
using ::testing::IsEmpty;

constexpr const char* kSaveFailed = settings::kSaveFailedMessage;
constexpr const char* kTyped = "42";  // typed into txtMakePageNum before closing

struct SettingsRow {
    std::string name;
    std::function<void(HostileTest&)> arrange;    // makes the settings file hostile
    std::function<void(ui::frmVornack&)> loaded;  // what the fields show after the start
    std::function<std::vector<SeenBox>(HostileTest&)> closeBoxes;  // what closing shows
    bool saved;  // the next start shows what was typed in this run
    std::function<void(HostileTest&)> check = {};  // the file afterwards
};
void PrintTo(const SettingsRow& c, std::ostream* os) { *os << c.name; }

class HostileSettingsTest : public HostileTest,
                            public ::testing::WithParamInterface<SettingsRow> {};

std::string Cp932(const std::string& utf8) { return codec::cp932::Encode(utf8); }
// The fields as a start with no usable settings file shows them.
void ShowsDefaults(ui::frmVornack& w) {
    EXPECT_EQ(w.cboServer.ListCount(), 0);
    EXPECT_EQ(w.cboTitle.ListCount(), 0);
    EXPECT_EQ(w.txtSrcPath.Text(), "");
    EXPECT_EQ(w.txtMakePageNum.Text(), "100");
    EXPECT_EQ(w.txtPagePerSrcNum.Text(), "10");
    EXPECT_EQ(w.txtReplaceTarget.Text(), "ヴォルナック");
    EXPECT_EQ(w.txtReplaceText.Text(), settings::DefaultReplaceText());
}

// The fields as the fixture's settings file fills them.
void ShowsTheFile(ui::frmVornack& w) {
    EXPECT_EQ(w.cboServer.ListCount(), 2);
    EXPECT_EQ(w.cboServer.Text(), "srv");
    EXPECT_EQ(w.cboTitle.Text(), "題名");
    EXPECT_EQ(w.txtMakePageNum.Text(), "3");
    EXPECT_EQ(w.txtPagePerSrcNum.Text(), "2");
    EXPECT_EQ(w.txtSrcNum.Text(), "2");
}

std::vector<SeenBox> NoBox(HostileTest&) { return {}; }
std::vector<SeenBox> WriteProtectWarning(HostileTest&) {
    return {{MsgIcon::Exclamation, settings::kWriteProtectedWarning}};
}
// The one warning of a save that failed: the message, the file and the system's reason.
std::function<std::vector<SeenBox>(HostileTest&)> SaveFailed(int error) {
    return [error](HostileTest& t) {
        return std::vector<SeenBox>{{MsgIcon::Exclamation, std::string(kSaveFailed) + "\r\n" +
                                                               t.IniPath() + "\r\n" +
                                                               platform::DescribeOsError(error)}};
    };
}

std::string Garbage(std::size_t size) {
    std::mt19937 random(20240607);
    std::string bytes(size, '\0');
    for (char& b : bytes) b = static_cast<char>(random() & 0xFF);
    return bytes;
}

std::string TenMegabytesOfComments() {
    std::string block;
    const std::string line = Cp932("; 手で書いた注釈の行です。 hand-written comment line\r\n");
    while (block.size() < (10u << 20)) block += line;
    return block;
}

// A settings file whose ReplaceText holds a value of 1 MB.
void WriteHugeValue(HostileTest& t, const std::string& value) {
    auto lines = t.DefaultSettings();
    lines.back() = "ReplaceText=" + value;
    lines.push_back("; after the huge value");
    t.WriteSettings(lines);
}

std::vector<SettingsRow> PortableRows() {
    return {
        {"BinaryGarbage", [](HostileTest& t) { WriteBytes(t.IniPath(), Garbage(4096)); },
         ShowsDefaults, NoBox, true,
         [](HostileTest& t) {
             // The garbage stays byte for byte; the settings follow it.
             EXPECT_TRUE(ReadBytes(t.IniPath()).starts_with(Garbage(4096)));
         }},
        {"GarbageInsideValues",
         [](HostileTest& t) {
             WriteBytes(t.IniPath(), std::string("[Setting]\r\nMakePageNum=7\0junk\r\n", 31) +
                                         "PagePerSrcNum=\xFF\xFE\r\nReplaceTarget=\x81\r\n");
         },
         [](ui::frmVornack& w) {
             EXPECT_EQ(w.txtMakePageNum.Text(), "7");  // the value ends at its NUL
             EXPECT_EQ(w.txtPagePerSrcNum.Text(), codec::cp932::Decode("\xFF\xFE"));
             EXPECT_EQ(w.txtReplaceTarget.Text(), codec::cp932::Decode("\x81"));
         },
         NoBox, true,
         [](HostileTest& t) {
             // Bytes that are not cp932 are saved back exactly.
             const std::string file = ReadBytes(t.IniPath());
             EXPECT_NE(file.find("PagePerSrcNum=\xFF\xFE\r\n"), std::string::npos) << file;
             EXPECT_NE(file.find("ReplaceTarget=\x81\r\n"), std::string::npos) << file;
         }},
        {"TenMegabytes",
         [](HostileTest& t) {
             std::string file = TenMegabytesOfComments();
             for (const auto& line : t.DefaultSettings()) file += Cp932(line) + "\r\n";
             WriteBytes(t.IniPath(), file);
         },
         ShowsTheFile, NoBox, true,
         [](HostileTest& t) {
             EXPECT_TRUE(ReadBytes(t.IniPath()).starts_with(TenMegabytesOfComments()));
         }},
        {"IsAFolder",
         [](HostileTest& t) {
             fs::remove(t.IniPath());
             fs::create_directory(t.IniPath());
             WriteBytes(t.IniPath() + "/inside.txt", "kept");
         },
         ShowsDefaults, SaveFailed(platform::os_error::kIsAFolder), false},
        {"ReadOnly",
         [](HostileTest& t) { fs::permissions(t.IniPath(), static_cast<fs::perms>(0444)); },
         ShowsTheFile, WriteProtectWarning, false},
        {"ReadOnlyMadeWritableWhileWarned",
         [](HostileTest& t) {
             fs::permissions(t.IniPath(), static_cast<fs::perms>(0444));
             t.boxes.OnNextShow(
                 [&t] { fs::permissions(t.IniPath(), static_cast<fs::perms>(0644)); });
         },
         ShowsTheFile, WriteProtectWarning, true},
        {"OneMegabyteValue", [](HostileTest& t) { WriteHugeValue(t, std::string(1u << 20, 'x')); },
         [](ui::frmVornack& w) { EXPECT_EQ(w.txtReplaceText.Text(), std::string(10239, 'x')); },
         NoBox, true,
         [](HostileTest& t) {
             // The save stores what the field showed; the line after it stays.
             const std::string file = ReadBytes(t.IniPath());
             EXPECT_NE(file.find("ReplaceText=" + std::string(10239, 'x') +
                                 "\r\n; after the huge value\r\n"),
                       std::string::npos);
         }},
        {"OneMegabyteJapaneseValue",
         [](HostileTest& t) {
             std::string value;
             while (value.size() < (1u << 20)) value += "あ";
             WriteHugeValue(t, value);
         },
         [](ui::frmVornack& w) {
             // 10,239 bytes would end inside a character: 5,119 whole characters come back.
             std::string expected;
             for (int i = 0; i < 5119; ++i) expected += "あ";
             EXPECT_EQ(w.txtReplaceText.Text(), expected);
         },
         NoBox, true},
    };
}

#ifndef _WIN32
unsigned Mode(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Rows that need POSIX: folder permission bits (a read-only folder on Windows still takes new
// files) and symbolic links.
std::vector<SettingsRow> PosixRows() {
    return {
        // The folder takes no new file, even for root: the writable file is rewritten in place.
        {"InReadOnlyFolder",
         [](HostileTest& t) { fs::permissions(t.At(""), static_cast<fs::perms>(0555)); },
         ShowsTheFile, NoBox, true, [](HostileTest& t) { EXPECT_EQ(Mode(t.At("")), 0555u); }},
        {"MissingInReadOnlyFolder",
         [](HostileTest& t) {
             fs::remove(t.IniPath());
             fs::permissions(t.At(""), static_cast<fs::perms>(0555));
         },
         ShowsDefaults, SaveFailed(platform::os_error::kAccessDenied), false,
         [](HostileTest& t) { EXPECT_FALSE(fs::exists(fs::symlink_status(t.IniPath()))); }},
        {"LinkToFile",
         [](HostileTest& t) {
             fs::create_directory(t.At("elsewhere"));
             fs::rename(t.IniPath(), t.At("elsewhere/real.ini"));
             fs::permissions(t.At("elsewhere/real.ini"), static_cast<fs::perms>(0640));
             fs::create_symlink("elsewhere/real.ini", t.IniPath());
         },
         ShowsTheFile, NoBox, true,
         [](HostileTest& t) {
             EXPECT_EQ(fs::read_symlink(t.IniPath()), "elsewhere/real.ini");
             EXPECT_EQ(Mode(t.At("elsewhere/real.ini")), 0640u);
         }},
        {"DanglingLink",
         [](HostileTest& t) {
             fs::create_directory(t.At("elsewhere"));
             fs::remove(t.IniPath());
             fs::create_symlink("elsewhere/new.ini", t.IniPath());
         },
         ShowsDefaults, NoBox, true,
         [](HostileTest& t) {
             EXPECT_EQ(fs::read_symlink(t.IniPath()), "elsewhere/new.ini");
             EXPECT_EQ(Mode(t.At("elsewhere/new.ini")), 0600u);  // it holds passwords
         }},
        {"LinkToItself",
         [](HostileTest& t) {
             fs::remove(t.IniPath());
             fs::create_symlink("VornackBuilder.ini", t.IniPath());
         },
         ShowsDefaults, SaveFailed(ELOOP), false},
    };
}
#endif

std::vector<SettingsRow> Rows() {
    std::vector<SettingsRow> rows = PortableRows();
#ifndef _WIN32
    for (auto& row : PosixRows()) rows.push_back(std::move(row));
#endif
    return rows;
}

TEST_P(HostileSettingsTest, UserSeesWhatHappenedAndNothingIsLost) {
    const SettingsRow& row = GetParam();
    row.arrange(*this);
    const Tree before = Snapshot(dir.path());

    // Loading shows no message, creates and changes nothing, and never fails.
    auto& w = Started();
    EXPECT_THAT(boxes.shown(), IsEmpty()) << Describe(boxes.shown());
    row.loaded(w);
    EXPECT_THAT(Changed(before, Snapshot(dir.path())), IsEmpty());

    w.txtMakePageNum.SetText(kTyped);
    Close();
    EXPECT_TRUE(w.IsUnloaded());
    const auto expectedBoxes = row.closeBoxes(*this);
    EXPECT_TRUE(Matches(boxes.shown(), expectedBoxes)) << "expected\n"
                                                       << Describe(expectedBoxes) << "seen\n"
                                                       << Describe(boxes.shown());

    // The save left no temporary file behind and changed nothing but the settings file.
    Tree afterSave = Snapshot(dir.path());
    for (const auto& [path, entry] : afterSave)
        EXPECT_FALSE(path.find("VornackBuilder.ini.") != std::string::npos ||
                     path.find("new.ini.") != std::string::npos ||
                     path.find("real.ini.") != std::string::npos)
            << "left behind: " << path;
    if (!row.saved) {
        EXPECT_THAT(Changed(before, afterSave), IsEmpty());
    } else {
        for (const auto& change : Changed(before, afterSave))
            EXPECT_TRUE(change.find(".ini") != std::string::npos) << change;
    }

    FakeMessageBox nextBoxes;
    const auto next = Restarted(nextBoxes);
    EXPECT_THAT(nextBoxes.shown(), IsEmpty());
    if (row.saved)
        EXPECT_EQ(next->txtMakePageNum.Text(), kTyped);
    else
        EXPECT_NE(next->txtMakePageNum.Text(), kTyped);
    if (row.check) row.check(*this);
}

INSTANTIATE_TEST_SUITE_P(Rows, HostileSettingsTest, ::testing::ValuesIn(Rows()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace vb::test
