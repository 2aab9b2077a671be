// The design of the main window: controls, captions, geometry, menus and tab order.
#include "build_config.h"
#include "forms/colors.h"
#include "forms/errors.h"
#include "forms/menu.h"
#include "window_fixture.h"

namespace vb::test {
namespace {

struct Placement {
    const char* name;
    int index;
    int left, top, width, height;
};

const Placement kPlacements[] = {
    {"lblGuide", 0, 150, 210, 840, 180},       {"txtSrcPath", -1, 1650, 150, 5745, 300},
    {"lblGuide", 1, 150, 510, 675, 180},       {"txtSrcNum", -1, 1650, 450, 5745, 300},
    {"lblGuide", 2, 150, 810, 900, 180},       {"cboServer", -1, 1650, 750, 5745, 300},
    {"lblGuide", 3, 150, 1110, 1050, 180},     {"txtMakePageNum", -1, 1650, 1050, 5745, 300},
    {"lblGuide", 4, 150, 1410, 1395, 180},     {"txtPagePerSrcNum", -1, 1650, 1350, 5745, 300},
    {"lblGuide", 5, 150, 1710, 1260, 180},     {"txtReplaceTarget", -1, 1650, 1650, 5745, 300},
    {"lblGuide", 6, 150, 2010, 900, 180},      {"txtReplaceText", -1, 1650, 1950, 5745, 300},
    {"lblGuide", 7, 150, 2310, 1095, 180},     {"cboTitle", -1, 1650, 2250, 5745, 300},
    {"pbrProcess", -1, 1650, 2550, 5745, 300}, {"lblGuide", 8, 180, 2910, 315, 180},
    {"txtLog", -1, 1650, 2850, 2835, 1905},    {"wbCM", -1, 4500, 2850, 2895, 1905},
    {"txtCM", -1, 5370, 3630, 1185, 375},      {"lblUrl", -1, 1650, 4830, 1710, 180},
    {"lblCMNotice", -1, 6450, 4830, 840, 180},
};

forms::Control* Find(ui::frmVornack& w, const std::string& name, int index) {
    for (forms::Control* c : w.Controls())
        if (c->Name() == name && c->Index() == index) return c;
    return nullptr;
}

TEST_F(WindowTest, EveryControlSitsAtItsDesignedPlace) {
    auto& w = Window();
    EXPECT_EQ(w.Name(), "frmVornack");
    EXPECT_EQ(w.ClientWidth(), 7575);
    EXPECT_EQ(w.ClientHeight(), 5085);
    for (const auto& p : kPlacements) {
        forms::Control* c = Find(w, p.name, p.index);
        ASSERT_NE(c, nullptr) << p.name << p.index;
        EXPECT_EQ(c->Left(), p.left) << p.name << p.index;
        EXPECT_EQ(c->Top(), p.top) << p.name << p.index;
        EXPECT_EQ(c->Width(), p.width) << p.name << p.index;
        EXPECT_EQ(c->Height(), p.height) << p.name << p.index;
    }
}

TEST_F(WindowTest, CaptionsAndPropertiesAreThoseOfTheDesign) {
    auto& w = Window();
    const char* guides[] = {"ソースパス",   "ソース数",          "対象サーバ",
                            "作成ページ数", "ソース数/１ページ", "置換対象文字列",
                            "置換文字列",   "ページタイトル",    "ログ"};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(dynamic_cast<forms::Label&>(w.lblGuide[i]).Caption(), guides[i]);
    EXPECT_EQ(w.lblGuide.LBound(), 0);
    EXPECT_EQ(w.lblGuide.UBound(), 8);
    EXPECT_EQ(w.lnMenu.Count(), 1);

    EXPECT_TRUE(w.txtSrcNum.Locked());
    EXPECT_EQ(w.txtSrcNum.BackColor(), forms::kButtonFace);
    EXPECT_TRUE(w.txtLog.MultiLine());
    EXPECT_TRUE(w.txtLog.Locked());
    EXPECT_EQ(w.txtLog.ScrollBars(), forms::ScrollBars::Both);
    EXPECT_EQ(w.txtCM.Text(), "For Rent\r\nCM Area\r\n");
    EXPECT_TRUE(w.txtCM.MultiLine());
    EXPECT_FALSE(w.txtCM.TabStop());
    EXPECT_EQ(w.txtCM.Alignment(), forms::Alignment::Center);
    EXPECT_EQ(w.lblUrl.Caption(), build_config::kHomeUrl);
    EXPECT_EQ(w.lblCMNotice.Caption(), "ＣＭ募集中");
    EXPECT_FALSE(w.lblCMNotice.Visible());
    EXPECT_FALSE(w.tmrNaviStep.Enabled());
    EXPECT_EQ(w.tmrNaviStep.Interval(), 1000);
    EXPECT_FLOAT_EQ(w.pbrProcess.Max(), 100.0f);
    EXPECT_FLOAT_EQ(w.pbrProcess.Value(), 0.0f);
    EXPECT_THROW(w.cboServer.SetText("typed"), forms::PropertyNotSupported);  // list only
}

TEST_F(WindowTest, MenusHoldTheirItemsWithAccessKeys) {
    auto& w = Window();
    ASSERT_EQ(w.Menus().size(), 2u);
    auto captions = [](const forms::Menu& m) {
        std::vector<std::string> out;
        for (const forms::Menu* item : m.Items()) out.push_back(item->Caption());
        return out;
    };
    EXPECT_EQ(w.Menus()[0]->Caption(), "操作(&O)");
    EXPECT_EQ(captions(*w.Menus()[0]),
              (std::vector<std::string>{"設定ﾌｧｲﾙ編集(&E)", "設定ﾌｧｲﾙ再読込(&F)", "-",
                                        "書き出し(&W)", "-", "ﾛｰｶﾙﾌｫﾙﾀﾞを開く(&L)",
                                        "ﾘﾓｰﾄﾌｫﾙﾀﾞを開く(&R)", "-", "終了(&X)"}));
    EXPECT_EQ(w.Menus()[1]->Caption(), "ﾍﾙﾌﾟ(&H)");
    EXPECT_EQ(captions(*w.Menus()[1]),
              (std::vector<std::string>{"使い方(&U)", "-", "ﾊﾞｰｼﾞｮﾝ情報(&A)..."}));
    EXPECT_EQ(w.mnuGo.AccessKey(), "W");
    EXPECT_EQ(w.xSprt2.Name(), "xSprt2");
    EXPECT_TRUE(w.xSprt4.IsSeparator());
}

TEST_F(WindowTest, TabOrderRunsDownTheFields) {
    auto& w = Window();
    const forms::Control* order[] = {&w.txtSrcPath,     &w.txtSrcNum,        &w.cboServer,
                                     &w.txtMakePageNum, &w.txtPagePerSrcNum, &w.txtReplaceTarget,
                                     &w.txtReplaceText, &w.cboTitle,         &w.txtLog};
    for (int i = 0; i + 1 < static_cast<int>(std::size(order)); ++i)
        EXPECT_LT(order[i]->TabIndex(), order[i + 1]->TabIndex()) << order[i]->Name();
    EXPECT_EQ(w.txtSrcPath.TabIndex(), 0);
}

}  // namespace
}  // namespace vb::test
