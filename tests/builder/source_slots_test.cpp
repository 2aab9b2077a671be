#include "builder/source_slots.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <random>
#include <set>
#include <thread>

#include "build_fixture.h"
#include "builder/messages.h"
#include "platform/native_path.h"
#include "platform/program_folder.h"
#include "platform/system_error.h"

namespace vb::test {
namespace {

const std::string kWarnStart = builder::msg::kWarnMissingTargetBefore;
const std::string kWarnEnd = builder::msg::kWarnMissingTargetAfter;

// The slots of a run with the window's fields, made as text.
class GetSrcPageTest : public BuildTest {
  protected:
    struct Slots {
        std::vector<std::string> strFiles;
        builder::SlotRules rules;
        std::mt19937 picks{kPickSeed};
        builder::SourceSlots slots;
        Slots(GetSrcPageTest& t, std::vector<std::string> files)
            : strFiles(std::move(files)),
              rules{builder::WordSearch(t.txtReplaceTarget.Text()), t.txtReplaceText.Text()},
              slots(t.fso, t.txtLog, t.txtSrcPath.Text(), strFiles, rules, picks) {}
    };
    // One slot's piece and raw text from the list.
    std::pair<std::string, std::string> Pick(const std::vector<std::string>& strFiles) {
        Slots s(*this, strFiles);
        const auto got = s.slots.GetSrcPage();
        return {got->TextPiece(), got->Text()};
    }
    // Picks from a list holding only this source (as UTF-8 text written in cp932).
    std::pair<std::string, std::string> PickOnly(const std::string& text) {
        AddSource("only.txt", Cp932(text));
        return Pick({"", "only.txt"});
    }
    std::string OnlyPath() const { return platform::JoinPath(SrcFolder(), "only.txt"); }
};

TEST_F(GetSrcPageTest, PreparesLineBreaksThenReplacesTheTarget) {
    txtReplaceTarget.SetText("tg");
    txtReplaceText.SetText("<a>tg</a>");
    const struct {
        const char* source;
        const char* piece;
    } cases[] = {
        {"一tg\r\n二\r\n", "一<a>tg</a><br>\r\n二<br>\r\n"},
        {"tg\nlf only\n", "<a>tg</a>\nlf only\n"},
        {"tg<BR>\r\nkept\r\n", "<a>tg</a><BR>\r\nkept\r\n"},
        {"tg<Br>x", "<a>tg</a><Br>x"},
        {"tg<br/>\r\nx", "<a>tg</a><br/><br>\r\nx"},
        {"tgtg\r", "<a>tg</a><a>tg</a>\r"},
        {"<b>tg</b>&&TITLE&&", "<b><a>tg</a></b>&&TITLE&&"},  // no escaping, no placeholders
    };
    for (const auto& c : cases) {
        const auto [piece, raw] = PickOnly(c.source);
        EXPECT_EQ(piece, c.piece) << c.source;
        EXPECT_EQ(raw, c.source);
    }
    EXPECT_EQ(txtLog.Text(), "old log\r\n");
}

TEST_F(GetSrcPageTest, TargetBrAlsoHitsTheInsertedTags) {
    txtReplaceTarget.SetText("br");
    txtReplaceText.SetText("BR!");
    EXPECT_EQ(PickOnly("br\r\n").first, "BR!<BR!>\r\n");
}

TEST_F(GetSrcPageTest, SourceWithoutTheTargetIsLoggedAndUsedAsRead) {
    for (const char* source : {"target\r\nin lower case\r\n", ""}) {
        txtLog.SetText("");
        const auto [piece, raw] = PickOnly(source);
        EXPECT_EQ(piece, source);
        EXPECT_EQ(raw, source);
        EXPECT_EQ(txtLog.Text(), kWarnStart + OnlyPath() + kWarnEnd);
    }
}

TEST_F(GetSrcPageTest, WarnsOncePerPickWithTheFullPathHoweverTheFolderWasTyped) {
    AddSource("only.txt", "no");
    txtSrcPath.SetText(SrcFolder() + "/");  // with a trailing separator
    txtLog.SetText("");
    Slots three(*this, {"", "only.txt"});
    for (int i = 0; i < 3; ++i) three.slots.GetSrcPage();
    const std::string line = kWarnStart + OnlyPath() + kWarnEnd;
    EXPECT_EQ(txtLog.Text(), line + line + line);

    // Relative to the current folder, through "." and "..".
    const auto before = std::filesystem::current_path();
    const auto parent = platform::PathFromUtf8(SrcFolder()).parent_path();
    std::filesystem::create_directory(parent / "elsewhere");  // Linux walks through it
    std::filesystem::current_path(parent);
    txtSrcPath.SetText("./elsewhere/../" +
                       platform::Utf8FromPath(platform::PathFromUtf8(SrcFolder()).filename()));
    txtLog.SetText("");
    Pick({"", "only.txt"});
    std::filesystem::current_path(before);
    EXPECT_EQ(txtLog.Text(), line);
}

TEST_F(GetSrcPageTest, InvalidBytesComeOutUnchanged) {
    AddSource("bad.txt",
              "\xff"
              "TARGET\x80\r\n\x82\xa0");
    const std::string piece = Pick({"", "bad.txt"}).first;
    EXPECT_EQ(Cp932(piece), std::string("\xff") + kReplacement + "\x80<br>\r\n\x82\xa0");
}

TEST_F(GetSrcPageTest, PicksEverySourceAndOnlyListedOnes) {
    for (const char* name : {"a", "b", "c"}) AddSource(name, name);
    AddSource("unlisted", "unlisted");
    std::set<std::string> seen;
    Slots s(*this, {"", "a", "b", "c"});
    for (int i = 0; i < 60; ++i) seen.insert(s.slots.GetSrcPage()->Text());
    EXPECT_EQ(seen, (std::set<std::string>{"a", "b", "c"}));
}

// Pages that go the text way make each source's text piece after the pick; what the slots
// keep stays within the cap all the same, however much the replacement adds.
TEST_F(GetSrcPageTest, KeptPreparationsStayWithinTheCapWithPartsMadeLater) {
    txtReplaceTarget.SetText("t");
    txtReplaceText.SetText(std::string(600, 'r'));
    std::vector<std::string> files{""};
    for (int i = 0; i < 12; ++i) {
        files.push_back("s" + std::to_string(i));
        AddSource(files.back(), std::string(std::size_t{1} << 14, 't') + files.back());
    }
    Slots s(*this, files);
    for (int pick = 0; pick < 100; ++pick) s.slots.GetSrcPage()->TextPiece();
    EXPECT_LE(s.slots.HeldBytes(), builder::KeptPreparations::kMostHeldBytes);
    EXPECT_GT(s.slots.HeldBytes(), builder::KeptPreparations::kMostHeldBytes / 4);
}

TEST_F(GetSrcPageTest, EmptyListOrUnreadableSourceFails) {
    EXPECT_THROW(Pick({""}), std::out_of_range);
    EXPECT_THROW(Pick({"", "gone.txt"}), platform::SystemError);
}

// Picks that each hold more than the byte bound: the helper makes the next only once the
// one waiting is taken, and a slow taker still gets every pick, in order (nothing waits on
// the other for good).
TEST(PicksAheadTest, PicksBeyondTheByteBoundWaitOneAtATime) {
    constexpr int kPicks = 40;
    std::atomic<int> made = 0, taken = 0, mostAhead = 0;
    builder::PicksAhead ahead(
        [&]() -> builder::PicksAhead::Made {
            // Taken counts a pick just after the helper could see it gone: one ahead at most.
            mostAhead = std::max(mostAhead.load(), made++ - taken);
            return {nullptr, 1000};
        },
        kPicks, 32, 100);
    for (int i = 0; i < kPicks; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ahead.Take();
        ++taken;
    }
    EXPECT_EQ(made, kPicks);
    EXPECT_LE(mostAhead, 1);
}

}  // namespace
}  // namespace vb::test
