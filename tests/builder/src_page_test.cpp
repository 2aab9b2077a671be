#include <filesystem>
#include <set>

#include "build_fixture.h"
#include "platform/native_path.h"
#include "platform/program_folder.h"
#include "platform/system_error.h"

namespace vb::test {
namespace {

const std::string kWarnEnd = "の中に置換対象文字列がないよ！\r\n";

class GetSrcPageTest : public BuildTest {
  protected:
    // Picks from a list holding only this source (as UTF-8 text written in cp932).
    std::pair<std::string, std::string> PickOnly(const std::string& text) {
        AddSource("only.txt", Cp932(text));
        std::string raw = "before";
        std::string piece = builder.GetSrcPage({"", "only.txt"}, raw);
        return {piece, raw};
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
        EXPECT_EQ(txtLog.Text(), "【警報】" + OnlyPath() + kWarnEnd);
    }
}

TEST_F(GetSrcPageTest, WarnsOncePerPickWithTheFullPathHoweverTheFolderWasTyped) {
    AddSource("only.txt", "no");
    txtSrcPath.SetText(SrcFolder() + "/");  // with a trailing separator
    txtLog.SetText("");
    std::string raw;
    for (int i = 0; i < 3; ++i) builder.GetSrcPage({"", "only.txt"}, raw);
    const std::string line = "【警報】" + OnlyPath() + kWarnEnd;
    EXPECT_EQ(txtLog.Text(), line + line + line);

    // Relative to the current folder, through "." and "..".
    const auto before = std::filesystem::current_path();
    const auto parent = platform::PathFromUtf8(SrcFolder()).parent_path();
    std::filesystem::create_directory(parent / "elsewhere");  // Linux walks through it
    std::filesystem::current_path(parent);
    txtSrcPath.SetText("./elsewhere/../" +
                       platform::Utf8FromPath(platform::PathFromUtf8(SrcFolder()).filename()));
    txtLog.SetText("");
    builder.GetSrcPage({"", "only.txt"}, raw);
    std::filesystem::current_path(before);
    EXPECT_EQ(txtLog.Text(), line);
}

TEST_F(GetSrcPageTest, InvalidBytesComeOutUnchanged) {
    AddSource("bad.txt",
              "\xff"
              "TARGET\x80\r\n\x82\xa0");
    std::string raw;
    const std::string piece = builder.GetSrcPage({"", "bad.txt"}, raw);
    EXPECT_EQ(Cp932(piece), std::string("\xff") + kReplacement + "\x80<br>\r\n\x82\xa0");
}

TEST_F(GetSrcPageTest, PicksEverySourceAndOnlyListedOnes) {
    for (const char* name : {"a", "b", "c"}) AddSource(name, name);
    AddSource("unlisted", "unlisted");
    std::set<std::string> seen;
    std::string raw;
    for (int i = 0; i < 60; ++i) seen.insert(builder.GetSrcPage({"", "a", "b", "c"}, raw));
    EXPECT_EQ(seen, (std::set<std::string>{"a", "b", "c"}));
}

TEST_F(GetSrcPageTest, EmptyListOrUnreadableSourceFails) {
    std::string raw = "kept";
    EXPECT_THROW(builder.GetSrcPage({""}, raw), std::out_of_range);
    EXPECT_THROW(builder.GetSrcPage({"", "gone.txt"}, raw), platform::SystemError);
    EXPECT_EQ(raw, "kept");
}

}  // namespace
}  // namespace vb::test
