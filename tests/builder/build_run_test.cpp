#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <thread>

#include "build_fixture.h"
#include "builder/messages.h"
#include "platform/app_title.h"
#include "platform/program_folder.h"
#include "platform/system_error.h"

namespace vb::test {
namespace {

namespace fs = std::filesystem;
namespace msg = builder::msg;
using platform::MsgIcon;

// The build's texts as the window must show them; every other test uses the constants.
TEST(BuildTexts, AreTheProgramsOwn) {
    const std::pair<const char*, const char*> texts[] = {
        {msg::kNoSrcPath, "ソースパスがないぜ？"},
        {msg::kNoSources, "ソースがじぇんじぇんないぜ？"},
        {msg::kNoServer, "サーバーが、えらばれてねぇよ？"},
        {msg::kServerNameNotFolder, "サーバー名がフォルダ名として使えねぇよ？"},
        {msg::kSrcInsideOutput, "ソースパスが出力フォルダの中だぜ？"},
        {msg::kSourceTooBig, "ソースが大きすぎるぜ？（256MB まで）"},
        {msg::kSrcIsProgramFolder, "ソースパスに設定ファイルとプログラムがあるぜ？"},
        {msg::kBadMakePageNum, "作成ページ数が、よくねぇよ？"},
        {msg::kBadPagePerSrcNum, "ソース数/１ページが、よくねぇよ？"},
        {msg::kBadReplaceTarget, "置換対象が、よくねぇよ？"},
        {msg::kBadReplaceText, "置換文字列が、よくねぇよ？"},
        {msg::kNoTitle, "ページタイトルが、えらばれてねぇよ？"},
        {msg::kNoTemplate, "ＨＴＭＬテンプレート(template.html)がないよ。"},
        {msg::kConfirmEmptying, "作成はサーバーへの出力フォルダをまずカラにするぜ？"},
        {msg::kLogStarted, "実行中でありんす。\r\n"},
        {msg::kLogFinished, "完了しますた。\r\n"},
        {msg::kWarnMissingTargetBefore, "【警報】"},
        {msg::kWarnMissingTargetAfter, "の中に置換対象文字列がないよ！\r\n"},
    };
    for (const auto& [code, shown] : texts) EXPECT_STREQ(code, shown);
}

const std::string kStarted = msg::kLogStarted;
const std::string kFinished = msg::kLogFinished;

class BuildRunTest : public BuildTest {
  protected:
    BuildRunTest() {
        pbrProcess.SetValue(5);
        pbrProcess.SetObserver([this](forms::Change change) {
            if (change == forms::Change::Progress)
                progress.push_back({pbrProcess.Max(), pbrProcess.Value(), events.yields()});
        });
    }
    struct Step {
        float max, value;
        int yieldsSoFar;
        bool operator==(const Step&) const = default;
    };
    std::vector<Step> progress;
    // The steps without the repeats a wait adds: while the old folder's move or deletion
    // lasts, the bar is told its same value again every pulse, as often as the pace of the
    // machine makes it (ProgressBar::KeepShown).
    std::vector<Step> Steps() const {
        std::vector<Step> steps;
        for (const Step& s : progress)
            if (steps.empty() || s.max != steps.back().max || s.value != steps.back().value)
                steps.push_back(s);
        return steps;
    }

    std::vector<std::string> Pages() const {
        auto names = OutputFiles();
        std::erase(names, "index.html");
        return names;
    }
    std::string Warning(const std::string& file) const {
        return msg::kWarnMissingTargetBefore + platform::JoinPath(SrcFolder(), file) +
               msg::kWarnMissingTargetAfter;
    }
};

TEST_F(BuildRunTest, OneSourceGivesByteExactPagesIndexLogAndProgress) {
    AddSource("a.txt", Cp932("一行目 TARGET\r\n二行目\r\n"));
    txtMakePageNum.SetText("2");
    txtPagePerSrcNum.SetText("2");
    WriteBytes(OutFolder() + "/stale.html", "old");
    fs::create_directory(OutFolder() + "/stale");

    builder.Run();

    const auto names = ExpectedPageNames(2);
    std::vector<std::string> sorted = names;
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::string> all = sorted;
    all.insert(all.begin(), "index.html");
    EXPECT_EQ(OutputFiles(), all);

    const std::string piece =
        Cp932("一行目 ") + kReplacement + "<br>\r\n" + Cp932("二行目") + "<br>\r\n";
    for (const auto& name : names) EXPECT_EQ(Output(name), Page(piece + "<br>\r\n" + piece));
    std::string entries;
    for (std::size_t i = 0; i < 2; ++i)
        entries += Cp932("一行目TARGET二行目") + "<a href='" + sorted[i] + "'></a><br>\r\n";
    EXPECT_EQ(Output("index.html"), Page(entries));

    EXPECT_EQ(txtLog.Text(), kStarted + kFinished);
    EXPECT_EQ(Steps(), (std::vector<Step>{{100, 0, 0}, {2, 0, 2}, {2, 1, 2}, {2, 2, 2}}));
    EXPECT_EQ(events.yields(), 2);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{builder::msg::kConfirmEmptying});
    EXPECT_FALSE(state.writeOutRunning);
}

TEST_F(BuildRunTest, MixedSourcesEachPageAndIndexEntryMatchItsSource) {
    // Source file -> its prepared piece and its index entry around the link, as cp932 bytes.
    struct Expected {
        std::string piece, beforeLink, linkText = "", afterLink = "";
    };
    const std::string a = kReplacement;
    const std::map<std::string, Expected> sources = {
        {"1crlf.txt",
         {Cp932("あい う") + a + "<br>\r\n" + Cp932("え") + "<br>\r\n", Cp932("あいうTARGETえ")}},
        {"2lf.txt", {"LF " + a + "\nline\n", "LFTARGET\nline\n"}},
        {"3br.txt", {"x<BR>\r\n" + a + "\r\n", "x&lt;BR&gt;TARGET"}},
        {"4selfclosing.txt", {"y<br/><br>\r\n" + a + "<br>\r\n", "y&lt;br/&gt;TARGET"}},
        {"5missing.txt", {"no target\r\n", "notarget"}},
        {"6invalid.txt", {"\xff" + a + "\x80<br>\r\n\x82\xa0", "\xffTARGET\x80\x82\xa0"}},
        {"7empty.txt", {"", ""}},
        {"8long.txt",
         {"abcdefghijklmnopqrstuvwxyzABCDEFGHIJ" + a, "abcdefghijklmnopqrst", "uvwxyzABCD",
          "EFGHIJTARG"}},
    };
    AddSource("1crlf.txt", Cp932("あい うTARGET\r\nえ\r\n"));
    AddSource("2lf.txt", "LF TARGET\nline\n");
    AddSource("3br.txt", "x<BR>\r\nTARGET\r\n");
    AddSource("4selfclosing.txt", "y<br/>\r\nTARGET\r\n");
    AddSource("5missing.txt", "no target\r\n");
    AddSource("6invalid.txt", "\xffTARGET\x80\r\n\x82\xa0");
    AddSource("7empty.txt", "");
    AddSource("8long.txt", "abcdefghijklmnopqrstuvwxyzABCDEFGHIJTARGET");
    txtMakePageNum.SetText("40");

    builder.Run();

    // Which source each page came from, in the order the pages were made.
    std::map<std::string, std::string> sourceOf;
    std::set<std::string> used;
    std::string expectedLog = kStarted;
    for (const auto& name : ExpectedPageNames(40)) {
        const std::string page = Output(name);
        for (const auto& [file, expected] : sources)
            if (page == Page(expected.piece)) sourceOf[name] = file;
        ASSERT_TRUE(sourceOf.count(name)) << name << " holds no source as prepared";
        used.insert(sourceOf[name]);
        if (sourceOf[name] == "5missing.txt" || sourceOf[name] == "7empty.txt")
            expectedLog += Warning(sourceOf[name]);
    }
    ASSERT_EQ(used.size(), sources.size()) << "the seed should let every source be picked";
    EXPECT_EQ(txtLog.Text(), expectedLog + kFinished);

    // Each entry carries the caption of the page in its own file, in the folder's order.
    std::string entries;
    for (const auto& name : Pages()) {
        const Expected& e = sources.at(sourceOf.at(name));
        entries += e.beforeLink + "<a href='" + name + "'>" + e.linkText + "</a>" + e.afterLink +
                   "<br>\r\n";
    }
    EXPECT_EQ(Output("index.html"), Page(entries));
}

TEST_F(BuildRunTest, SameSeedsGiveTheSameOutput) {
    for (const char* name : {"a", "b", "c"}) AddSource(name, std::string(name) + "TARGET");
    txtMakePageNum.SetText("5");
    txtPagePerSrcNum.SetText("3");
    builder.Run();
    std::map<std::string, std::string> first;
    for (const auto& name : OutputFiles()) first[name] = Output(name);

    fso.SeedTempNames(kNameSeed);
    builder.Run();
    std::map<std::string, std::string> second;
    for (const auto& name : OutputFiles()) second[name] = Output(name);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first.size(), 6u);
}

// Every pick reads its file anew, with the picks read ahead of the pages: the seed's draws
// in their order, one warning per pick of a source without the target, and a change to the
// sources made at the tenth read (when the helper makes it) seen from that read on, as when
// each pick was read at its page: a source edited to bytes of the same length is taken as
// edited, one removed or made unreadable ends the run at its own pick, after the pages and
// warnings before it.
TEST_F(BuildRunTest, SourcesChangedMidRunShowFromTheReadThatFindsThem) {
    struct Made {
        std::string piece, caption;  // as cp932 bytes
    };
    const std::string a = kReplacement;
    const std::map<std::string, std::string> text = {
        {"a.txt", "あTARGET\r\n"}, {"b.txt", "なし\r\n"}, {"c.txt", "TARGET<BR>\r\nい"}};
    const std::map<std::string, Made> made = {
        {"あTARGET\r\n", {Cp932("あ") + a + "<br>\r\n", Cp932("あTARGET")}},
        {"かTARGET\r\n", {Cp932("か") + a + "<br>\r\n", Cp932("かTARGET")}},
        {"なし\r\n", {Cp932("なし\r\n"), Cp932("なし")}},
        {"TARGET<BR>\r\nい", {a + "<BR>\r\n" + Cp932("い"), Cp932("TARGET&lt;BR&gt;い")}},
    };
    const std::string edited = "かTARGET\r\n";
    const struct {
        const char* file;
        std::function<void(const std::string& path)> change;
        const char* failure;  // how the run's failure starts; empty: the run goes on
    } changes[] = {
        {"a.txt", [&](const std::string& path) { WriteBytes(path, Cp932(edited)); }, ""},
        {"b.txt", [](const std::string& path) { fs::remove(path); }, platform::kCannotOpen},
        {"c.txt",  // a folder in its place: unreadable, whoever runs the test
         [](const std::string& path) { fs::remove(path), fs::create_directory(path); },
         platform::kCannotOpen},
    };
    constexpr int kChangeAt = 10;
    txtMakePageNum.SetText("6");
    txtPagePerSrcNum.SetText("3");
    for (const auto& change : changes) {
        fs::remove_all(platform::JoinPath(SrcFolder(), change.file));
        for (const auto& [file, t] : text) AddSource(file, Cp932(t));
        const std::string changedPath = platform::JoinPath(SrcFolder(), change.file);
        int reads = 0;
        fso.beforeRead = [&](const std::string& path) {
            if (path.starts_with(SrcFolder()) && ++reads == kChangeAt) change.change(changedPath);
        };
        fso.SeedTempNames(kNameSeed);
        builder.Run();

        std::mt19937 draws(kPickSeed);
        std::string log = kStarted;
        std::map<std::string, std::string> captionOf;
        int read = 0, changedPicks[2] = {0, 0};  // picks of the changed file before and after
        bool failed = false;
        const auto names = ExpectedPageNames(6);
        std::size_t page = 0;
        for (; page < names.size() && !failed; ++page) {
            std::string body;
            for (int slot = 0; slot < 3 && !failed; ++slot) {
                const double r = static_cast<double>(draws()) / 4294967296.0;
                const std::string file = std::string(1, static_cast<char>('a' + r * 3)) + ".txt";
                const bool changed = ++read >= kChangeAt && file == change.file;
                if (file == change.file) ++changedPicks[changed];
                failed = changed && *change.failure;
                if (failed) break;
                const Made& m = made.at(changed ? edited : text.at(file));
                if (file == "b.txt") log += Warning(file);
                body += (slot > 0 ? "<br>\r\n" : "") + m.piece;
                captionOf[names[page]] = m.caption;
            }
            if (!failed) EXPECT_EQ(Output(names[page]), Page(body)) << change.file << page;
        }
        ASSERT_GE(changedPicks[0], 1) << "the seed should pick " << change.file << " before";
        ASSERT_GE(changedPicks[1], 1) << "and after the change";
        EXPECT_EQ(Pages().size(), failed ? page - 1 : names.size()) << change.file;
        EXPECT_EQ(txtLog.Text(), failed ? log : log + kFinished) << change.file;
        if (failed) {
            EXPECT_TRUE(msgBox.shown().back().text.starts_with(change.failure)) << change.file;
            EXPECT_NE(msgBox.shown().back().text.find(changedPath), std::string::npos);
            EXPECT_FALSE(fs::exists(OutFolder() + "/index.html"));
            continue;
        }
        std::string entries;
        for (const auto& name : Pages())
            entries += captionOf[name] + "<a href='" + name + "'></a><br>\r\n";
        EXPECT_EQ(Output("index.html"), Page(entries));
    }
}

TEST_F(BuildRunTest, FractionalAndZeroSourcesPerPage) {
    AddSource("a.txt", "aTARGET");
    txtPagePerSrcNum.SetText("0");
    txtMakePageNum.SetText("2.5");
    builder.Run();
    const auto pages = Pages();
    ASSERT_EQ(pages.size(), 2u);
    for (const auto& name : pages) EXPECT_EQ(Output(name), Page(""));
    EXPECT_EQ(Output("index.html"), Page("<a href='" + pages[0] + "'></a><br>\r\n<a href='" +
                                         pages[1] + "'></a><br>\r\n"));
    EXPECT_EQ(Steps(),
              (std::vector<Step>{
                  {100, 0, 0}, {2.5f, 0, 2}, {2.5f, 1, 2}, {2.5f, 2, 2}, {2.5f, 2.5f, 2}}));
}

TEST_F(BuildRunTest, PageCountBelowOneHalfMakesAnEmptyIndex) {
    AddSource("a.txt", "aTARGET");
    txtMakePageNum.SetText("0.4");
    builder.Run();
    EXPECT_EQ(OutputFiles(), std::vector<std::string>{"index.html"});
    EXPECT_EQ(Output("index.html"), Page(""));
    EXPECT_EQ(pbrProcess.Max(), 0.4f);
    EXPECT_EQ(pbrProcess.Value(), 0.4f);
    EXPECT_EQ(txtLog.Text(), kStarted + kFinished);
}

TEST_F(BuildRunTest, TemplatePlaceholdersAndEmptyTemplate) {
    AddSource("a.txt", "TARGET");
    WriteTemplate("&&TITLE&&|&&title&&|&&BODY&&|&&TITLE&&");
    cboTitle.AddItem("T&&BODY&&");
    cboTitle.SetListIndex(1);
    txtMakePageNum.SetText("1");
    builder.Run();
    const std::string body = kReplacement;
    EXPECT_EQ(Output(Pages()[0]), "T" + body + "|&&title&&|" + body + "|T" + body);

    WriteTemplate("");
    builder.Run();
    EXPECT_EQ(Output(Pages()[0]), "");
    EXPECT_EQ(Output("index.html"), "");
}

TEST_F(BuildRunTest, ValidationRefusalOrNoLeavesEverythingButTheProgress) {
    AddSource("a.txt", "TARGET");
    WriteBytes(OutFolder() + "/keep.html", "keep");
    msgBox.QueueAnswer(platform::MsgResult::No);
    EXPECT_EQ(builder.Run().outcome, builder::Outcome::Unconfirmed);
    cboTitle.SetListIndex(-1);
    const auto refused = builder.Run();
    EXPECT_EQ(refused.outcome, builder::Outcome::Refused);
    EXPECT_EQ(refused.text, BoxTexts().back());
    EXPECT_EQ(OutputFiles(), std::vector<std::string>{"keep.html"});
    EXPECT_EQ(txtLog.Text(), "old log\r\n");
    EXPECT_EQ(pbrProcess.Value(), 0.0f);
    EXPECT_EQ(events.yields(), 0);
}

// A run whose file service fails at one operation: the failure is reported and the run
// ends there, keeping what it did.
TEST_F(BuildRunTest, FailuresAreReportedWithTheCriticalIcon) {
    AddSource("a.txt", "TARGET");
    txtMakePageNum.SetText("3");
    int writes = 0;
    fso.beforeWrite = [&](const std::string& path) {
        if (++writes == 3) throw platform::SystemError("cannot write " + path);
    };
    const auto ended = builder.Run();

    ASSERT_EQ(msgBox.shown().size(), 2u);
    const auto& box = msgBox.shown().back();
    EXPECT_EQ(box.icon, MsgIcon::Critical);
    EXPECT_EQ(box.buttons, platform::MsgButtons::OK);
    EXPECT_EQ(box.caption, platform::kAppTitle);
    const auto names = ExpectedPageNames(3);
    EXPECT_EQ(box.text, "cannot write " + platform::JoinPath(OutFolder(), names[2]));
    EXPECT_EQ(ended.outcome, builder::Outcome::Failed);
    EXPECT_EQ(ended.text, box.text);
    EXPECT_EQ(ended.pagesWritten, 2);
    EXPECT_EQ(Pages().size(), 2u);
    EXPECT_EQ(txtLog.Text(), kStarted);
    EXPECT_EQ(pbrProcess.Value(), 2.0f);
    EXPECT_FALSE(state.writeOutRunning);
}

// A page file whose close fails (where it is closed beside the writes, too) fails the run as
// its failed write would: the failure named, no closing line, no index.
TEST_F(BuildRunTest, AFailedCloseFailsTheRun) {
    AddSource("a.txt", "TARGET");
    txtMakePageNum.SetText("5");
    int closes = 0;
    fso.closeError = [&] { return ++closes == 3 ? platform::os_error::kAccessDenied : 0; };
    builder.Run();

    ASSERT_EQ(msgBox.shown().size(), 2u);
    EXPECT_EQ(msgBox.shown().back().icon, MsgIcon::Critical);
    EXPECT_EQ(msgBox.shown().back().text,
              platform::DescribeFailure(platform::kCannotWrite,
                                        platform::JoinPath(OutFolder(), ExpectedPageNames(3)[2]),
                                        platform::os_error::kAccessDenied));
    EXPECT_EQ(txtLog.Text(), kStarted);
    EXPECT_FALSE(fs::exists(OutFolder() + "/index.html"));
    EXPECT_FALSE(state.writeOutRunning);
}

// The old output folder is deleted beside the writes: the new one is empty for the first
// page, and a deletion that fails fails the run with its text (after the pages, before the
// index).
TEST_F(BuildRunTest, TheOldPagesGoBesideTheNewOnesAndTheirFailedDeletionIsToldAfterTheIndex) {
    AddSource("a.txt", "TARGET");
    txtMakePageNum.SetText("3");
    fs::create_directories(tmp / "local/srv/sub");
    WriteBytes(tmp / "local/srv/sub/old.html", "old");
    std::optional<std::size_t> foundByFirstPage;
    fso.beforeWrite = [&](const std::string&) {
        if (!foundByFirstPage) foundByFirstPage = OutputFiles().size();
    };
    const std::string failure = platform::DescribeFailure(
        platform::kCannotDeleteFolder, tmp / "local/aside", platform::os_error::kAccessDenied);
    fso.beforeDelete = [&](const std::string&) { throw platform::SystemError(failure); };
    EXPECT_EQ(builder.Run().outcome, builder::Outcome::Done);

    EXPECT_EQ(foundByFirstPage, 0u);
    ASSERT_EQ(msgBox.shown().size(), 1u);  // the confirmation
    EXPECT_EQ(txtLog.Text(), kStarted + std::string(msg::kOldPagesLeftAside) + failure + "\r\n" +
                                 msg::kLogFinished);
    EXPECT_EQ(OutputFiles().size(), 4u);  // the pages and the index
    EXPECT_FALSE(state.writeOutRunning);
}

// The old pages' deletion still running after the last page: the wait tells the progress
// bar's view again and again, as each page does, so that the desktop sees the window alive.
#ifndef _WIN32
// A link in the output folder's place, to a folder, a file or nothing: the link goes, what it
// pointed to stays, and the log says that the pages now go into a real folder.
TEST_F(BuildRunTest, AnOutputFolderThatIsALinkIsReplacedWithAWord) {
    AddSource("a.txt", "TARGET");
    txtMakePageNum.SetText("1");
    fs::create_directories(tmp / "elsewhere");
    WriteBytes(tmp / "elsewhere/keep.html", "kept");
    for (const std::string target : {"elsewhere", "elsewhere/keep.html", "nothing"}) {
        SCOPED_TRACE(target);
        fs::remove_all(OutFolder());
        fs::create_symlink(tmp / target, OutFolder());
        EXPECT_EQ(builder.Run().outcome, builder::Outcome::Done);
        EXPECT_EQ(txtLog.Text(), kStarted + msg::kOutputWasLink + OutFolder() + "\r\n" + kFinished);
        EXPECT_TRUE(fs::is_directory(fs::symlink_status(OutFolder())));
        EXPECT_EQ(ReadBytes(tmp / "elsewhere/keep.html"), "kept");
    }
}
#endif

// So does the look at every old page before they are moved aside.
TEST_F(BuildRunTest, AWaitForTheOldPagesKeepsTheWindowShownAlive) {
    AddSource("a.txt", "TARGET");
    txtMakePageNum.SetText("1");
    const auto slowly = [](const std::string&) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
    };
    for (auto* step : {&fso.beforeDelete, &fso.beforeMoveAside}) {
        SCOPED_TRACE(step == &fso.beforeDelete ? "deletion" : "move aside");
        WriteBytes(tmp / "local/srv/old.html", "old");
        progress.clear();
        fso.beforeDelete = fso.beforeMoveAside = nullptr;
        *step = slowly;
        EXPECT_EQ(builder.Run().outcome, builder::Outcome::Done);
        EXPECT_GE(progress.size(), 6u);  // a page's steps are three
    }
}

TEST_F(BuildRunTest, EachFailingStepNamesWhatFailed) {
    AddSource("a.txt", "TARGET");
    const struct {
        const char* step;
        std::function<void(BuildRunTest&)> inject;
        std::string named;  // what the failure's description must name
    } cases[] = {
        {"source read",
         [](BuildRunTest& t) {
             t.fso.beforeRead = [](const std::string& p) {
                 if (p.ends_with("a.txt")) throw platform::SystemError("read " + p);
             };
         },
         "src/a.txt"},
        {"index write",
         [](BuildRunTest& t) {
             t.fso.beforeWrite = [](const std::string& p) {
                 if (p.ends_with("index.html")) throw platform::SystemError("write " + p);
             };
         },
         "local/srv/index.html"},
        {"template read",
         [](BuildRunTest& t) {
             t.fso.beforeRead = [](const std::string& p) {
                 if (p.ends_with("template.html")) throw platform::SystemError("read " + p);
             };
         },
         "template.html"},
        // The missing folder itself, not the lock file it would hold.
        {"local missing", [](BuildRunTest& t) { fs::remove_all(t.tmp / "local"); }, "local\r\n"},
    };
    for (const auto& c : cases) {
        fso.beforeRead = nullptr;
        fso.beforeWrite = nullptr;
        const std::size_t before = msgBox.shown().size();
        c.inject(*this);
        builder.Run();
        ASSERT_GT(msgBox.shown().size(), before) << c.step;
        EXPECT_EQ(msgBox.shown().back().icon, MsgIcon::Critical) << c.step;
        // The names are given with "/"; the program writes the system's separator.
        std::string named = c.named;
        std::replace(named.begin(), named.end(), '/', platform::PathSeparator());
        EXPECT_NE(msgBox.shown().back().text.find(named), std::string::npos) << c.step;
        EXPECT_EQ(txtLog.Text().find(kFinished), std::string::npos) << c.step;
        EXPECT_FALSE(fs::exists(tmp / "local/srv/index.html")) << c.step;
    }
    EXPECT_FALSE(fs::exists(tmp / "local"));  // nothing creates "local"
}

TEST_F(BuildRunTest, YieldsExactlyTwiceAndMarksTheRunMeanwhile) {
    AddSource("a.txt", "TARGET");
    std::vector<bool> runningAtYield;
    const auto watch = [&] { runningAtYield.push_back(state.writeOutRunning); };
    events.AtYield(1, watch);
    events.AtYield(2, [&] {
        watch();
        // The output folder is gone at the second yield and comes back right after.
        EXPECT_FALSE(fs::exists(OutFolder()));
        EXPECT_EQ(txtLog.Text(), kStarted);
    });
    builder.Run();
    EXPECT_EQ(runningAtYield, (std::vector<bool>{true, true}));
    EXPECT_EQ(events.yields(), 2);
    EXPECT_FALSE(state.writeOutRunning);
    const std::vector<Step> steps = Steps();
    ASSERT_GT(steps.size(), 2u);
    for (std::size_t i = 1; i < steps.size(); ++i)  // nothing yields in the page loop
        EXPECT_EQ(steps[i].yieldsSoFar, 2);
}

TEST_F(BuildRunTest, ASecondWriteOutIntoTheSameFolderIsRefusedAndTheFirstCompletes) {
    AddSource("a.txt", "TARGET");
    txtMakePageNum.SetText("3");
    // Another window (or a scheduled run) starts a write-out to the same server while this
    // one yields with its output folder deleted.
    builder::RunState otherState;
    FakeMessageBox otherBoxes;
    builder::PageBuilder other(builder::BuildWindow{
        txtSrcPath, cboServer, cboTitle, txtMakePageNum, txtPagePerSrcNum, txtReplaceTarget,
        txtReplaceText, txtLog, pbrProcess, TemplateText, fso, otherBoxes, events, otherState});
    builder::WriteOutOutcome refused;
    events.AtYield(2, [&] { refused = other.Run(); });
    const auto ended = builder.Run();

    EXPECT_EQ(otherBoxes.texts().back(), builder::msg::kOutputFolderBusy);
    EXPECT_EQ(refused.outcome, builder::Outcome::Busy);
    EXPECT_EQ(refused.text, builder::msg::kOutputFolderBusy);
    EXPECT_EQ(ended.outcome, builder::Outcome::Done);
    EXPECT_EQ(ended.pagesWritten, 3);
    EXPECT_EQ(Pages().size(), 3u);
    EXPECT_TRUE(fs::exists(OutFolder() + "/index.html"));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{builder::msg::kConfirmEmptying});
    // Once the first run is over, the folder is free again.
    other.Run();
    EXPECT_EQ(otherBoxes.texts().back(), builder::msg::kConfirmEmptying);
    EXPECT_TRUE(fs::exists(OutFolder() + "/index.html"));
}

}  // namespace
}  // namespace vb::test
