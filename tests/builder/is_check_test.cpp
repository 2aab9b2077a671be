#include <filesystem>

#include "build_fixture.h"
#include "builder/messages.h"
#include "platform/app_title.h"

namespace vb::test {
namespace {

namespace fs = std::filesystem;
namespace msg = builder::msg;
using platform::MsgIcon;
using platform::MsgResult;

class IsCheckTest : public BuildTest {
  protected:
    IsCheckTest() { AddSource("a.txt", "TARGET"); }

    // IsCheck's result and the one message it showed (the confirmation counts too).
    std::pair<bool, std::string> Check() {
        const std::size_t before = msgBox.shown().size();
        const bool ok = builder.IsCheck();
        EXPECT_EQ(msgBox.shown().size(), before + 1);
        return {ok, msgBox.shown().back().text};
    }
};

TEST_F(IsCheckTest, PassingJobReadsTheTemplateAndAsksForConfirmation) {
    WriteTemplate(Cp932("<p>&&TITLE&&</p>") + "\xff");
    EXPECT_EQ(Check(), std::make_pair(true, std::string(msg::kConfirmEmptying)));
    const auto& box = msgBox.shown().back();
    EXPECT_EQ(box.buttons, platform::MsgButtons::YesNo);
    EXPECT_EQ(box.icon, MsgIcon::Question);
    EXPECT_EQ(box.caption, platform::kAppTitle);
    EXPECT_EQ(TemplateText, "<p>&&TITLE&&</p>\xef\x9f\xbf");  // 0xFF carried as its stand-in
}

TEST_F(IsCheckTest, AnswerNoRefusesButKeepsTheNewTemplate) {
    TemplateText = "old";
    WriteTemplate("");
    msgBox.QueueAnswer(MsgResult::No);
    EXPECT_FALSE(Check().first);
    EXPECT_EQ(TemplateText, "");  // an empty template is simply empty
}

TEST_F(IsCheckTest, AcceptedCountsAndTexts) {
    for (const char* count : {"2.5", "1e2", "1,000", "0.4", " 7 ", "1048576"}) {
        txtMakePageNum.SetText(count);
        EXPECT_TRUE(Check().first) << count;
    }
    for (const char* count : {"0", "-3", "2.5"}) {
        txtPagePerSrcNum.SetText(count);
        EXPECT_TRUE(Check().first) << count;
    }
    txtReplaceTarget.SetText(" x ");
    txtReplaceText.SetText("\t");  // only spaces are trimmed
    EXPECT_TRUE(Check().first);
}

// One faulty job and the message it must get.
struct Fault {
    const char* name;
    const char* message;
    std::function<void(IsCheckTest&)> apply;
};

void PrintTo(const Fault& fault, std::ostream* os) { *os << fault.name; }

// Faulty jobs, in the order of the checks they fail.
const std::vector<Fault>& Faults() {
    static const std::vector<Fault> faults = {
        {"SrcMissing", msg::kNoSrcPath,
         [](IsCheckTest& t) { t.txtSrcPath.SetText(t.tmp / "missing"); }},
        {"SrcIsAFile", msg::kNoSrcPath,
         [](IsCheckTest& t) { t.txtSrcPath.SetText(t.tmp / "src/a.txt"); }},
        {"SrcEmpty", msg::kNoSrcPath, [](IsCheckTest& t) { t.txtSrcPath.SetText(""); }},
        {"NoSources", msg::kNoSources, [](IsCheckTest& t) { fs::remove(t.tmp / "src/a.txt"); }},
        {"OnlySubFolder", msg::kNoSources,
         [](IsCheckTest& t) {
             fs::remove(t.tmp / "src/a.txt");
             fs::create_directory(t.tmp / "src/sub");
         }},
        {"NoServer", msg::kNoServer, [](IsCheckTest& t) { t.cboServer.SetListIndex(-1); }},
        {"ServerDotDot", msg::kServerNameNotFolder,
         [](IsCheckTest& t) {
             t.cboServer.AddItem("..");
             t.cboServer.SetListIndex(2);
         }},
        {"ServerEmpty", msg::kServerNameNotFolder,
         [](IsCheckTest& t) {
             t.cboServer.AddItem("");
             t.cboServer.SetListIndex(2);
         }},
        {"ServerWithSlash", msg::kServerNameNotFolder,
         [](IsCheckTest& t) {
             t.cboServer.AddItem("a/b");
             t.cboServer.SetListIndex(2);
         }},
        {"SrcIsOutput", msg::kSrcInsideOutput,
         [](IsCheckTest& t) {
             WriteBytes(t.tmp / "local/srv/a.txt", "x");
             t.txtSrcPath.SetText(t.OutFolder());
         }},
        {"SrcInsideOutput", msg::kSrcInsideOutput,
         [](IsCheckTest& t) {
             fs::create_directory(t.tmp / "local/srv/in");
             WriteBytes(t.tmp / "local/srv/in/a.txt", "x");
             t.txtSrcPath.SetText(t.tmp / "local/srv/in");
         }},
        {"SrcLinksIntoOutput", msg::kSrcInsideOutput,
         [](IsCheckTest& t) {
             WriteBytes(t.tmp / "local/srv/a.txt", "x");
             if (!test::MakeFolderLink(t.OutFolder(), t.tmp / "link"))
                 GTEST_SKIP() << "no folder links on this system";
             t.txtSrcPath.SetText(t.tmp / "link");
         }},
        {"PagesNotNumeric", msg::kBadMakePageNum,
         [](IsCheckTest& t) { t.txtMakePageNum.SetText("10 pages"); }},
        {"PagesEmpty", msg::kBadMakePageNum, [](IsCheckTest& t) { t.txtMakePageNum.SetText(""); }},
        {"PagesZero", msg::kBadMakePageNum, [](IsCheckTest& t) { t.txtMakePageNum.SetText("0"); }},
        {"PagesNegative", msg::kBadMakePageNum,
         [](IsCheckTest& t) { t.txtMakePageNum.SetText("-3"); }},
        {"PagesBeyondInt32", msg::kBadMakePageNum,
         [](IsCheckTest& t) { t.txtMakePageNum.SetText("3e9"); }},
        {"PagesBeyondNames", msg::kBadMakePageNum,
         [](IsCheckTest& t) { t.txtMakePageNum.SetText("1048577"); }},
        {"PerPageNotNumeric", msg::kBadPagePerSrcNum,
         [](IsCheckTest& t) { t.txtPagePerSrcNum.SetText("x"); }},
        {"PerPageBeyondInt32", msg::kBadPagePerSrcNum,
         [](IsCheckTest& t) { t.txtPagePerSrcNum.SetText("-2147483649"); }},
        {"TargetBlank", msg::kBadReplaceTarget,
         [](IsCheckTest& t) { t.txtReplaceTarget.SetText("   "); }},
        {"ReplaceTextEmpty", msg::kBadReplaceText,
         [](IsCheckTest& t) { t.txtReplaceText.SetText(""); }},
        {"NoTitle", msg::kNoTitle, [](IsCheckTest& t) { t.cboTitle.SetListIndex(-1); }},
        {"NoTemplate", msg::kNoTemplate,
         [](IsCheckTest& t) { fs::remove(t.tmp / "template.html"); }},
        {"TemplateIsAFolder", msg::kNoTemplate,
         [](IsCheckTest& t) {
             fs::remove(t.tmp / "template.html");
             fs::create_directory(t.tmp / "template.html");
         }},
    };
    return faults;
}

class IsCheckFault : public IsCheckTest, public ::testing::WithParamInterface<Fault> {};

TEST_P(IsCheckFault, ShowsItsMessageAsAWarningAndTouchesNothing) {
    WriteBytes(tmp / "local/srv/keep.html", "keep");
    TemplateText = "kept";
    GetParam().apply(*this);
    if (IsSkipped()) return;
    const auto [ok, text] = Check();
    EXPECT_FALSE(ok);
    EXPECT_EQ(text, GetParam().message);
    EXPECT_EQ(msgBox.shown().back().icon, MsgIcon::Exclamation);
    EXPECT_EQ(msgBox.shown().back().buttons, platform::MsgButtons::OK);
    EXPECT_EQ(msgBox.shown().back().caption, platform::kAppTitle);
    EXPECT_EQ(TemplateText, "kept");
    EXPECT_EQ(ReadBytes(tmp / "local/srv/keep.html"), "keep");
}

INSTANTIATE_TEST_SUITE_P(Checks, IsCheckFault, ::testing::ValuesIn(Faults()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(IsCheckTest, ChecksRunInTheirFixedOrder) {
    // One fault for every check at once; mending them one by one brings each message in turn.
    const std::vector<const char*> names = {"SrcMissing",        "NoSources",   "NoServer",
                                            "ServerDotDot",      "SrcIsOutput", "PagesZero",
                                            "PerPageNotNumeric", "TargetBlank", "ReplaceTextEmpty",
                                            "NoTitle",           "NoTemplate"};
    std::vector<const Fault*> faults;
    for (const char* name : names)
        for (const auto& f : Faults())
            if (std::string(f.name) == name) faults.push_back(&f);
    ASSERT_EQ(faults.size(), names.size());

    // These share fields, so they are laid on in an order that keeps each one in force.
    fs::remove(tmp / "src/a.txt");
    cboServer.AddItem("..");
    cboServer.SetListIndex(-1);
    txtMakePageNum.SetText("0");
    txtPagePerSrcNum.SetText("x");
    txtReplaceTarget.SetText(" ");
    txtReplaceText.SetText("");
    cboTitle.SetListIndex(-1);
    fs::remove(tmp / "template.html");
    txtSrcPath.SetText(tmp / "missing");

    const std::vector<std::function<void()>> mends = {
        [&] { txtSrcPath.SetText(OutFolder()); },           // now names the output folder
        [&] { WriteBytes(tmp / "local/srv/a.txt", "x"); },  // ... which holds a file
        [&] { cboServer.SetListIndex(2); },                 // "..", not a folder name
        [&] { cboServer.SetListIndex(0); },                 // "srv": the source is its output
        [&] {
            AddSource("a.txt", "TARGET");
            txtSrcPath.SetText(SrcFolder());
        },
        [&] { txtMakePageNum.SetText("3"); },
        [&] { txtPagePerSrcNum.SetText("1"); },
        [&] { txtReplaceTarget.SetText("TARGET"); },
        [&] { txtReplaceText.SetText("x"); },
        [&] { cboTitle.SetListIndex(0); },
        [&] { WriteTemplate(kTemplate); },
    };
    for (std::size_t i = 0; i < faults.size(); ++i) {
        const auto [ok, text] = Check();
        EXPECT_FALSE(ok);
        EXPECT_EQ(text, faults[i]->message) << faults[i]->name;
        mends[i]();
    }
    EXPECT_TRUE(Check().first);
}

TEST_F(IsCheckTest, UnreadableTemplateCountsAsMissing) {
    class Refusing : public HookedFileSystem {
      public:
        bool CanOpenForReading(const std::string&) override { return false; }
    };
    Refusing refusing;
    builder::PageBuilder b(builder::BuildWindow{
        txtSrcPath, cboServer, cboTitle, txtMakePageNum, txtPagePerSrcNum, txtReplaceTarget,
        txtReplaceText, txtLog, pbrProcess, TemplateText, refusing, msgBox, events, state});
    EXPECT_FALSE(b.IsCheck());
    EXPECT_EQ(BoxTexts().back(), msg::kNoTemplate);
}

}  // namespace
}  // namespace vb::test
