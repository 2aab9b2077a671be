// The publish's pure parts: the hash, the manifest's file, the settings' section and the plan.
#include "publish/plan.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "publish/publish_settings.h"
#include "publish/sha256.h"
#include "temp_dir.h"

namespace vb::publish {
namespace {

TEST(Sha256Test, KnownVectors) {
    EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 56 bytes: the length no longer fits the block, the padding takes a second one.
    EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    // Added in pieces that straddle the blocks.
    Sha256 pieces;
    for (int i = 0; i < 10000; ++i) pieces.Add(std::string(100, 'a'));
    std::string hex;
    for (const auto byte : pieces.Finish())
        hex += "0123456789abcdef"[byte >> 4], hex += "0123456789abcdef"[byte & 15];
    EXPECT_EQ(hex, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(ManifestTest, ReadsBackWhatItWritesAndNotALineCutMidWrite) {
    Manifest manifest{"u host 21 /",
                      {{"vor1.html", {true, 3, std::string(64, 'a')}}, {"名 %.html", {}}}};
    const std::string bytes = ManifestBytes(manifest);
    EXPECT_NE(bytes.find("\r\nbegun %E5%90%8D%20%25.html\r\n"), std::string::npos) << bytes;
    EXPECT_EQ(ParseManifest(bytes), manifest);
    // A line without its end may be any prefix of a name: it counts for nothing.
    EXPECT_EQ(ParseManifest(bytes + "gone vor1.html\r\nfile 3 " + std::string(64, 'b') + " vor2"),
              (Manifest{"u host 21 /", {{"名 %.html", {}}}}));
    EXPECT_FALSE(ParseManifest("not a manifest\r\n"));
}

struct PublishSettingsTest : ::testing::Test {
    test::TempDir dir;
    test::FakeMessageBox boxes;
    settings::IniFileAccess ini{boxes};
    std::string file = dir / "s.ini";
    std::string error;
};

TEST_F(PublishSettingsTest, ABadValueIsRefusedNamingItsKey) {
    test::WriteBytes(file, "[Publish a.example]\r\nProtocol=FTPS-implicit\r\nConnections=9\r\n");
    EXPECT_FALSE(ReadPublishSettings(ini, "a.example", error, file));
    EXPECT_NE(error.find("[Publish a.example] の Connections=9"), std::string::npos) << error;
    test::WriteBytes(file, "[Publish a.example]\r\nProtocol=FTPS-implicit\r\nFolder=/www\r\n");
    EXPECT_EQ(ReadPublishSettings(ini, "a.example", error, file),
              (PublishSettings{Protocol::FtpsImplicit, 990, "/www", 2, ""}));
    EXPECT_EQ(ReadPublishSettings(ini, "b.example", error, file), PublishSettings{});
}

TEST_F(PublishSettingsTest, TheTrustedPinIsWrittenIntoTheServersSection) {
    const std::string pin = "sha256//" + std::string(43, 'A') + "=";
    EXPECT_FALSE(IsCertificatePin(pin + ";"));
    ASSERT_TRUE(WriteCertificatePin(ini, "a.example", pin, file));
    EXPECT_EQ(ReadPublishSettings(ini, "a.example", error, file)->certificate, pin);
}

LocalFile Local(const std::string& name, const std::string& bytes) {
    return {name, bytes.size(), Sha256Hex(bytes)};
}
Published Sent(const std::string& bytes) { return {true, bytes.size(), Sha256Hex(bytes)}; }

std::vector<std::string> Names(const std::vector<Step>& steps) {
    std::vector<std::string> names;
    for (const auto& step : steps) names.push_back(step.name);
    return names;
}

// The site had index, a, b (ours), the user's own robots.txt and a leftover of ours; the new
// write-out keeps a, changes b and adds c.
TEST(PlanTest, NewNamesFirstThenReplacementsThenTheIndexThenWhatIsNoLongerLinked) {
    const PlanInput input{
        {Local("index.html", "new"), Local("a", "a"), Local("b", "b2"), Local("c", "c")},
        {"d",
         {{"index.html", Sent("old")},
          {"a", Sent("a")},
          {"b", Sent("b")},
          {"old", Sent("o")},
          {"x ~VornackBuilder-sending", {}},
          {"gone", Sent("g")},
          {"../outside", Sent("u")},
          {"sub/inner", Sent("u")},
          {"..", Sent("u")}}},
        "d",
        {"/www/index.html", "a", "b", "old", "robots.txt", "x ~VornackBuilder-sending", "."},
        {"a", "b", "c", "robots.txt"}};
    const Plan plan = MakePlan(input);
    ASSERT_EQ(plan.refusal, "");
    EXPECT_EQ(Names(plan.uploads), std::vector<std::string>{"c"});
    EXPECT_EQ(Names(plan.replacements), std::vector<std::string>{"b"});
    EXPECT_EQ(Names(plan.index), std::vector<std::string>{"index.html"});
    // "gone", which the server no longer lists, is still ours: its deletion is asked for too.
    // Names outside the folder, which only a hand could have written there, are none of ours.
    EXPECT_EQ(Names(plan.deletions),
              (std::vector<std::string>{"gone", "old", "x ~VornackBuilder-sending"}));
    EXPECT_FALSE(plan.deletions[0].replacesFile);
    EXPECT_EQ(plan.kept, 1u);
    EXPECT_EQ(plan.index[0].temporary, "index.html ~VornackBuilder-sending");

    // What a publish recorded for another place counts for nothing there: every name the
    // server has is the user's.
    PlanInput elsewhere = input;
    elsewhere.destination = "e";
    EXPECT_NE(MakePlan(elsewhere).refusal.find(": a"), std::string::npos);
}

TEST(PlanTest, RefusesToOverwriteTheUsersFileOrToLinkAPageThatIsNotThere) {
    PlanInput input{{Local("index.html", "i"), Local("a", "a")}, {"d", {}}, "d", {"a"}, {}};
    EXPECT_NE(MakePlan(input).refusal.find("上書きしません"), std::string::npos);
    input.remote = {"a ~VornackBuilder-sending"};
    input.links = {"a", "b"};
    EXPECT_NE(MakePlan(input).refusal.find("リンク先が出力フォルダにもサーバーにもありません: b"),
              std::string::npos);
    input.links = {"a"};
    // A server that ignores case has the user's file where the new page would land.
    input.remote = {"A"};
    EXPECT_NE(MakePlan(input).refusal.find("上書きしません (サーバーから消すか、Folder= で別の"
                                           "フォルダを選んでください): A"),
              std::string::npos);
    input.remote = {"a ~VornackBuilder-sending"};
    // A name that is not UTF-8 would land under another name, sent again every time.
    input.local.push_back(Local("bad\xFF.html", "x"));
    EXPECT_NE(MakePlan(input).refusal.find("送れない名前"), std::string::npos);
    input.local.pop_back();
    const Plan plan = MakePlan(input);
    EXPECT_EQ(plan.index[0].temporary, "index.html ~VornackBuilder-sending");
    EXPECT_FALSE(plan.index[0].replacesFile);
}

TEST(PlanTest, LinkedNamesAreTheFilesOfThePagesOwnFolder) {
    EXPECT_EQ(
        LinkedNames("<a href='vor1.html'>x</a><A HREF=\"./b%20c.html#t\"><img src=p&amp;q.png>"
                    "<a href='http://x/y'><a href='/r.html'><a href='s/t.html'><a href='#top'>"
                    "<a data-href='u'>"),
        (std::vector<std::string>{"b c.html", "p&q.png", "vor1.html"}));
}

}  // namespace
}  // namespace vb::publish
