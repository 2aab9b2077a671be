// Hostile and broken input to the write-out, one row each: what the user sees (message boxes,
// log, files written) and that nothing is lost: every file outside the chosen server's output
// folder stays as it was, and the output folder itself is only touched once the run has
// started writing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "builder/messages.h"
#include "codec/codec.h"
#include "hostile_fixture.h"
#include "platform/native_path.h"
#include "platform/system_error.h"

namespace vb::test {
namespace {

namespace fs = std::filesystem;
namespace msg = builder::msg;
using platform::MsgIcon;
using ::testing::IsEmpty;

// How far the run got, as the user can tell from the log and the folders.
enum class Outcome {
    NothingDone,          // refused or failed before starting: log and folders as they were
    StoppedBeforeOutput,  // started (log reset) but stopped before the output folder
    StoppedInOutput,      // stopped while filling the output folder
    Completed,            // pages and index written, log closed
};

struct BuildRow {
    std::string name;
    std::function<void(HostileTest&)> arrange;  // makes the job hostile
    Outcome outcome;
    std::vector<SeenBox> boxes;                    // what the user sees, in order
    int pages = 0;                                 // page files written, when completed
    std::string server = "srv";                    // whose output folder the run may change
    std::vector<std::string> changedByUser = {};   // folders the test itself changes during the run
    std::function<void(HostileTest&)> check = {};  // what else the user sees
};
void PrintTo(const BuildRow& c, std::ostream* os) { *os << c.name; }

SeenBox Refusal(const char* text) { return {MsgIcon::Exclamation, text}; }
const SeenBox kConfirm{MsgIcon::Question, msg::kConfirmEmptying};
SeenBox Failure(const std::string& what, const std::string& path, int error) {
    return {MsgIcon::Critical, what + "\r\n" + path + "\r\n" + platform::DescribeOsError(error)};
}

class HostileBuildTest : public HostileTest, public ::testing::WithParamInterface<BuildRow> {};

void Write(HostileTest& t, const std::string& relative, const std::string& bytes) {
    fs::create_directories(fs::path(t.At(relative)).parent_path());
    WriteBytes(t.At(relative), bytes);
}
std::string Cp932(const std::string& utf8) { return codec::cp932::Encode(utf8); }

// A file of the given size whose first bytes are head and whose rest is a hole.
void WriteSparse(const std::string& path, const std::string& head, std::uintmax_t size) {
    WriteBytes(path, head);
    fs::resize_file(platform::PathFromUtf8(path), size);
}

void OnlySource(HostileTest& t, const std::string& bytes) {
    fs::remove(t.At("src/b.txt"));
    Write(t, "src/a.txt", bytes);
}

void SetPageCounts(HostileTest& t, const std::string& pages, const std::string& perPage) {
    t.Window().txtMakePageNum.SetText(pages);
    t.Window().txtPagePerSrcNum.SetText(perPage);
}

BuildRow ServerNameRow(const std::string& name, const std::string& server) {
    return {name,
            [server](HostileTest& t) { t.ChooseServer(server); },
            Outcome::NothingDone,
            {Refusal(msg::kServerNameNotFolder)}};
}

BuildRow PageCountRefused(const std::string& name, const std::string& count) {
    return {name,
            [count](HostileTest& t) { t.Window().txtMakePageNum.SetText(count); },
            Outcome::NothingDone,
            {Refusal(msg::kBadMakePageNum)}};
}

BuildRow PageCountAccepted(const std::string& name, const std::string& count, int pages) {
    return {name,
            [count](HostileTest& t) { t.Window().txtMakePageNum.SetText(count); },
            Outcome::Completed,
            {kConfirm},
            pages};
}

// The bytes of every page file (not index.html) of the output folder.
std::vector<std::string> Pages(HostileTest& t, const std::string& server = "srv") {
    std::vector<std::string> pages;
    for (const auto& name : t.OutputFiles(server))
        if (name != "index.html") pages.push_back(ReadBytes(t.At("local/" + server + "/" + name)));
    return pages;
}

std::vector<BuildRow> PortableRows() {
    return {
        // Server names that are not one plain folder name: ".." would empty the program
        // folder, "" every server's output, "a/b" a folder elsewhere.
        ServerNameRow("ServerDotDot", ".."),
        ServerNameRow("ServerDot", "."),
        ServerNameRow("ServerEmpty", ""),
        {"ServerWithSlash",
         [](HostileTest& t) {
             Write(t, "local/a/b/keep.html", "kept");
             t.ChooseServer("a/b");
         },
         Outcome::NothingDone,
         {Refusal(msg::kServerNameNotFolder)}},
        {"ServerWithBackslash",
         [](HostileTest& t) {
             Write(t, "local/a\\b/keep.html", "kept");
             t.ChooseServer("a\\b");
         },
         Outcome::NothingDone,
         {Refusal(msg::kServerNameNotFolder)}},
        ServerNameRow("ServerWithTab", "a\tb"),
        ServerNameRow("ServerWithControlByte",
                      "a\x01"
                      "b"),
        ServerNameRow("ServerWithDelete", "a\x7f"),
        ServerNameRow("ServerWithLineBreak", "a\r\nb"),
        ServerNameRow("ServerWithC1Control",
                      "a\xC2\x85"
                      "b"),
        // A device name on Windows, refused on every system so one settings file works alike.
        ServerNameRow("ServerCon", "con"),
        // The source folder where the run empties the output folder first.
        {"SourceIsOutputFolder",
         [](HostileTest& t) {
             Write(t, "local/srv/a.txt", Cp932(HostileTest::kSource1));
             t.Window().txtSrcPath.SetText(t.At("local/srv"));
         },
         Outcome::NothingDone,
         {Refusal(msg::kSrcInsideOutput)}},
        {"SourceInsideOutputFolder",
         [](HostileTest& t) {
             Write(t, "local/srv/sub/a.txt", Cp932(HostileTest::kSource1));
             t.Window().txtSrcPath.SetText(t.At("local/srv/sub"));
         },
         Outcome::NothingDone,
         {Refusal(msg::kSrcInsideOutput)}},
        {"SourceIsOutputFolderSpelledOtherwise",
         [](HostileTest& t) {
             Write(t, "local/srv/a.txt", Cp932(HostileTest::kSource1));
             t.Window().txtSrcPath.SetText(t.At("local/other/../srv/"));
         },
         Outcome::NothingDone,
         {Refusal(msg::kSrcInsideOutput)}},

        // The source folder changes between validation and the listing (the first yield).
        {"SourceFolderVanishesAfterValidation",
         [](HostileTest& t) { t.events.AtYield(1, [&t] { fs::remove_all(t.At("src")); }); },
         Outcome::StoppedBeforeOutput,
         {kConfirm, {MsgIcon::Critical, "フォルダが見つかりません。\r\n", false}},
         0,
         "srv",
         {"src"},
         [](HostileTest& t) {
             EXPECT_EQ(
                 t.boxes.shown().back().text,
                 Failure("フォルダが見つかりません。", t.At("src"), platform::os_error::kNotFound)
                     .text);
         }},
        {"SourceFolderEmptiedAfterValidation",
         [](HostileTest& t) {
             t.events.AtYield(1, [&t] {
                 fs::remove(t.At("src/a.txt"));
                 fs::remove(t.At("src/b.txt"));
             });
         },
         Outcome::StoppedBeforeOutput,
         {kConfirm, Refusal(msg::kNoSources)},
         0,
         "srv",
         {"src"}},

        // Sources and template that cannot be read, are empty, huge or not cp932.
        {"SourceUnreadable",
         [](HostileTest& t) {
             fs::remove(t.At("src/b.txt"));
             t.fso->readFails[t.At("src/a.txt")] = platform::os_error::kAccessDenied;
         },
         Outcome::StoppedInOutput,
         {kConfirm, {MsgIcon::Critical, "ファイルを読めません。\r\n", false}},
         0,
         "srv",
         {},
         [](HostileTest& t) {
             EXPECT_EQ(t.boxes.shown().back().text,
                       Failure("ファイルを読めません。", t.At("src/a.txt"),
                               platform::os_error::kAccessDenied)
                           .text);
             EXPECT_THAT(t.OutputFiles("srv"), IsEmpty());
         }},
        {"TemplateCannotBeOpened",
         [](HostileTest& t) { t.fso->unopenable.push_back(t.At("template.html")); },
         Outcome::NothingDone,
         {Refusal(msg::kNoTemplate)}},
        {"TemplateOpensButCannotBeRead",
         [](HostileTest& t) {
             t.fso->readFails[t.At("template.html")] = platform::os_error::kAccessDenied;
         },
         Outcome::NothingDone,
         {{MsgIcon::Critical, "ファイルを読めません。\r\n", false}},
         0,
         "srv",
         {},
         [](HostileTest& t) {
             EXPECT_EQ(t.boxes.shown().back().text,
                       Failure("ファイルを読めません。", t.At("template.html"),
                               platform::os_error::kAccessDenied)
                           .text);
         }},
        {"SourceEmpty",
         [](HostileTest& t) { OnlySource(t, ""); },
         Outcome::Completed,
         {kConfirm},
         3,
         "srv",
         {},
         [](HostileTest& t) {
             for (const auto& page : Pages(t))
                 EXPECT_EQ(page, Cp932("<title>題名</title>\r\n<body></body>"));
             const std::string warning = std::string(msg::kWarnMissingTargetBefore) +
                                         t.At("src/a.txt") + msg::kWarnMissingTargetAfter;
             std::string expectedLog = msg::kLogStarted;
             for (int i = 0; i < 6; ++i) expectedLog += warning;  // 3 pages of 2 sources
             EXPECT_EQ(t.Window().txtLog.Text(), expectedLog + msg::kLogFinished);
         }},
        {"TemplateEmpty",
         [](HostileTest& t) { Write(t, "template.html", ""); },
         Outcome::Completed,
         {kConfirm},
         3,
         "srv",
         {},
         [](HostileTest& t) {
             for (const auto& name : t.OutputFiles("srv"))
                 EXPECT_EQ(fs::file_size(t.At("local/srv/" + name)), 0u) << name;
         }},
        {"Source100MB",
         [](HostileTest& t) {
             fs::remove(t.At("src/b.txt"));
             WriteSparse(t.At("src/a.txt"), Cp932("ヴォルナック\r\n"), 100 << 20);
             SetPageCounts(t, "1", "1");
         },
         Outcome::Completed,
         {kConfirm},
         1,
         "srv",
         {},
         [](HostileTest& t) {
             const auto pages = Pages(t);
             ASSERT_EQ(pages.size(), 1u);
             EXPECT_GT(pages[0].size(), std::size_t{100} << 20);
             EXPECT_NE(pages[0].find("<a href='http://vornack.example/'>"), std::string::npos);
         }},
        {"Template100MB",
         [](HostileTest& t) {
             WriteSparse(t.At("template.html"), "&&BODY&&", 100 << 20);
             t.boxes.QueueAnswer(platform::MsgResult::No);
         },
         Outcome::NothingDone,
         {kConfirm},
         0,
         "srv",
         {},
         [](HostileTest& t) { EXPECT_EQ(t.Window().TemplateText.size(), std::size_t{100} << 20); }},
        {"SourceNotCp932",
         [](HostileTest& t) {
             OnlySource(t, "\x80\xA0\xFD\xFE\xFF " + Cp932("ヴォルナック") +
                               " \x81\x20"
                               "end");
             SetPageCounts(t, "3", "1");
         },
         Outcome::Completed,
         {kConfirm},
         3,
         "srv",
         {},
         [](HostileTest& t) {
             const std::string body = "\x80\xA0\xFD\xFE\xFF " +
                                      Cp932("<a href='http://vornack.example/'>ヴォルナック</a>") +
                                      " \x81\x20"
                                      "end";
             for (const auto& page : Pages(t))
                 EXPECT_EQ(page, Cp932("<title>題名</title>\r\n<body>") + body + "</body>");
         }},
        {"TemplateNotCp932",
         [](HostileTest& t) { Write(t, "template.html", "\xFF\x80&&BODY&&\x81"); },
         Outcome::Completed,
         {kConfirm},
         3,
         "srv",
         {},
         [](HostileTest& t) {
             for (const auto& name : t.OutputFiles("srv")) {
                 const std::string page = ReadBytes(t.At("local/srv/" + name));
                 EXPECT_TRUE(page.starts_with("\xFF\x80") && page.ends_with("\x81")) << name;
             }
         }},

        // Page counts as users type them.
        PageCountRefused("PageCount1e10", "1e10"),
        PageCountRefused("PageCountMinusZero", "-0"),
        PageCountAccepted("PageCountCommaIsThousandsSeparator", "0,5", 5),
        PageCountAccepted("PageCountWithBlanksAround", " 3 ", 3),
        PageCountRefused("PageCountFullWidthDigit", "３"),
    };
}

#ifndef _WIN32
// Rows that need POSIX: symbolic links, pipes and devices, and a name longer than the file
// system takes (Windows has its own cases in hostile_win32_test.cpp).
std::vector<BuildRow> PosixRows() {
    const std::string tooLong(300, 'n');
    return {
        // Longer than a file name may be: the folder cannot be made, and the user is told.
        {"Server300Bytes",
         [tooLong](HostileTest& t) { t.ChooseServer(tooLong); },
         Outcome::StoppedInOutput,
         {kConfirm, {MsgIcon::Critical, "フォルダを作成できません。\r\n", false}},
         0,
         tooLong,
         {},
         [tooLong](HostileTest& t) {
             EXPECT_EQ(t.boxes.shown().back().text,
                       Failure("フォルダを作成できません。", t.At("local/" + tooLong), ENAMETOOLONG)
                           .text);
         }},
        {"SourceIsLinkToOutputFolder",
         [](HostileTest& t) {
             Write(t, "local/srv/a.txt", Cp932(HostileTest::kSource1));
             fs::create_directory_symlink(t.At("local/srv"), t.At("srclink"));
             t.Window().txtSrcPath.SetText(t.At("srclink"));
         },
         Outcome::NothingDone,
         {Refusal(msg::kSrcInsideOutput)}},

        // Pipes and devices in the source folder are not sources: they would block a reader.
        {"PipeAndDeviceAmongSources",
         [](HostileTest& t) {
             ASSERT_EQ(::mkfifo(t.At("src/pipe").c_str(), 0644), 0);
             fs::create_symlink("/dev/null", t.At("src/null"));
             fs::create_symlink("/dev/zero", t.At("src/zero"));
         },
         Outcome::Completed,
         {kConfirm},
         3,
         "srv",
         {},
         [](HostileTest& t) {
             t.Window().txtSrcPath_LostFocus();
             EXPECT_EQ(t.Window().txtSrcNum.Text(), "2");
         }},
        {"OnlyPipeAndDeviceInSourceFolder",
         [](HostileTest& t) {
             fs::remove(t.At("src/a.txt"));
             fs::remove(t.At("src/b.txt"));
             ASSERT_EQ(::mkfifo(t.At("src/pipe").c_str(), 0644), 0);
             fs::create_symlink("/dev/null", t.At("src/null"));
         },
         Outcome::NothingDone,
         {Refusal(msg::kNoSources)}},
        {"TemplateIsPipe",
         [](HostileTest& t) {
             fs::remove(t.At("template.html"));
             ASSERT_EQ(::mkfifo(t.At("template.html").c_str(), 0644), 0);
         },
         Outcome::NothingDone,
         {Refusal(msg::kNoTemplate)}},
        {"TemplateLinksToDevice",
         [](HostileTest& t) {
             fs::remove(t.At("template.html"));
             fs::create_symlink("/dev/zero", t.At("template.html"));
         },
         Outcome::NothingDone,
         {Refusal(msg::kNoTemplate)}},
    };
}
#endif

std::vector<BuildRow> Rows() {
    std::vector<BuildRow> rows = PortableRows();
#ifndef _WIN32
    for (auto& row : PosixRows()) rows.push_back(std::move(row));
#endif
    return rows;
}

TEST_P(HostileBuildTest, UserSeesWhatHappenedAndNothingIsLost) {
    const BuildRow& row = GetParam();
    auto& w = Started();
    ASSERT_THAT(boxes.shown(), IsEmpty()) << Describe(boxes.shown());
    w.txtLog.SetText("前の記録\r\n");
    row.arrange(*this);
    const Tree before = Snapshot(dir.path());

    w.mnuGo.RaiseClick();

    EXPECT_TRUE(Matches(boxes.shown(), row.boxes)) << "expected\n"
                                                   << Describe(row.boxes) << "seen\n"
                                                   << Describe(boxes.shown());
    const std::string log = w.txtLog.Text();
    switch (row.outcome) {
        case Outcome::NothingDone:
            EXPECT_EQ(log, "前の記録\r\n");
            break;
        case Outcome::StoppedBeforeOutput:
        case Outcome::StoppedInOutput:
            EXPECT_EQ(log, msg::kLogStarted);
            break;
        case Outcome::Completed:
            EXPECT_TRUE(log.starts_with(msg::kLogStarted) && log.ends_with(msg::kLogFinished))
                << log;
            break;
    }
    EXPECT_FALSE(w.WriteOutState().writeOutRunning);

    // Nothing outside the output folder changes; the output folder only once the run is in it.
    Tree expected = before, after = Snapshot(dir.path());
    for (const auto& folder : row.changedByUser) {
        expected = Without(expected, folder);
        after = Without(after, folder);
    }
    const bool inOutput =
        row.outcome == Outcome::StoppedInOutput || row.outcome == Outcome::Completed;
    if (inOutput) {
        expected = Without(expected, "local/" + row.server);
        after = Without(after, "local/" + row.server);
    }
    EXPECT_THAT(Changed(expected, after), IsEmpty());

    if (row.outcome == Outcome::Completed) {
        const auto files = OutputFiles(row.server);
        EXPECT_EQ(files.size(), static_cast<std::size_t>(row.pages) + 1);
        EXPECT_TRUE(std::find(files.begin(), files.end(), "index.html") != files.end());
        EXPECT_FALSE(std::find(files.begin(), files.end(), "vor00000.html") != files.end());
    }
    if (row.check) row.check(*this);
}

INSTANTIATE_TEST_SUITE_P(Rows, HostileBuildTest, ::testing::ValuesIn(Rows()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace vb::test
