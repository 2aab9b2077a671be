// The design of frmVornack: every control with its caption, properties and twips geometry,
// the menu tree and the tab order.
#include <memory>

#include "build_config.h"
#include "forms/colors.h"
#include "ui/frm_vornack.h"
#include "ui/publish_texts.h"

namespace vb::ui {

namespace {

constexpr int kClientWidth = 7575;
constexpr int kClientHeight = 5085;

struct GuideLabel {
    const char* caption;
    int left, top, width, height;
};

// lblGuide(0) to lblGuide(8): the captions of the fields and of the log.
constexpr GuideLabel kGuides[] = {
    {"ソースパス", 150, 210, 840, 180},
    {"ソース数", 150, 510, 675, 180},
    {"対象サーバ", 150, 810, 900, 180},
    {"作成ページ数", 150, 1110, 1050, 180},
    {"ソース数/１ページ", 150, 1410, 1395, 180},
    {"置換対象文字列", 150, 1710, 1260, 180},
    {"置換文字列", 150, 2010, 900, 180},
    {"ページタイトル", 150, 2310, 1095, 180},
    {"ログ", 180, 2910, 315, 180},
};

}  // namespace

void frmVornack::LayOutControls() {
    SetClientSize(kClientWidth, kClientHeight);

    // Design order: the order the settings load walks the controls in.
    for (int i = 0; i < static_cast<int>(std::size(kGuides)); ++i) {
        auto label = std::make_unique<forms::Label>("lblGuide", i);
        const GuideLabel& g = kGuides[i];
        label->SetCaption(g.caption);
        label->Move(g.left, g.top, g.width, g.height);
        forms::Label& ref = *label;
        lblGuide.Adopt(std::move(label));
        AddControl(ref);
    }

    txtSrcPath.Move(1650, 150, 5745, 300);
    txtSrcNum.Move(1650, 450, 5745, 300);
    txtSrcNum.SetLocked(true);
    txtSrcNum.SetBackColor(forms::kButtonFace);
    cboServer.Move(1650, 750, 5745, 300);
    txtMakePageNum.Move(1650, 1050, 5745, 300);
    txtPagePerSrcNum.Move(1650, 1350, 5745, 300);
    txtReplaceTarget.Move(1650, 1650, 5745, 300);
    txtReplaceText.Move(1650, 1950, 5745, 300);
    cboTitle.Move(1650, 2250, 5745, 300);
    pbrProcess.Move(1650, 2550, 5745, 300);

    txtLog.Move(1650, 2850, 2835, 1905);
    txtLog.SetMultiLine(true);
    txtLog.SetScrollBars(forms::ScrollBars::Both);
    txtLog.SetLocked(true);
    txtLog.SetBackColor(forms::kButtonFace);

    wbCM.Move(4500, 2850, 2895, 1905);
    wbCM.SetVisible(false);

    txtCM.Move(5370, 3630, 1185, 375);
    txtCM.SetText(kAdPlaceholder);
    txtCM.SetMultiLine(true);
    txtCM.SetAlignment(forms::Alignment::Center);
    txtCM.SetTabStop(false);
    txtCM.SetBackColor(forms::kButtonFace);

    lblUrl.Move(1650, 4830, 1710, 180);
    lblUrl.SetCaption(build_config::kHomeUrl);
    lblUrl.SetForeColor(forms::kBlue);

    lblCMNotice.Move(6450, 4830, 840, 180);
    lblCMNotice.SetCaption("ＣＭ募集中");
    lblCMNotice.SetVisible(false);

    tmrNaviStep.SetEnabled(false);
    tmrNaviStep.SetInterval(1000);
    tmrPublish.SetEnabled(false);
    tmrPublish.SetInterval(kPublishNewsInterval);

    auto line = std::make_unique<forms::Line>("lnMenu", 0);
    forms::Line& lineRef = *line;
    lnMenu.Adopt(std::move(line));

    forms::Control* const inOrder[] = {
        &txtSrcPath,       &txtSrcNum,        &cboServer,      &txtMakePageNum,
        &txtPagePerSrcNum, &txtReplaceTarget, &txtReplaceText, &cboTitle,
        &pbrProcess,       &txtLog,           &wbCM,           &txtCM,
        &lblUrl,           &lblCMNotice,      &tmrNaviStep,    &tmrPublish,
        &lineRef,
    };
    for (forms::Control* c : inOrder) AddControl(*c);

    // The tab order runs down the fields, so txtSrcPath has the focus when the window opens.
    forms::Control* const tabOrder[] = {&txtSrcPath,     &txtSrcNum,        &cboServer,
                                        &txtMakePageNum, &txtPagePerSrcNum, &txtReplaceTarget,
                                        &txtReplaceText, &cboTitle,         &txtLog};
    int tab = 0;
    for (forms::Control* c : tabOrder) c->SetTabIndex(tab++);
    for (forms::Control* c :
         {static_cast<forms::Control*>(&pbrProcess), static_cast<forms::Control*>(&wbCM),
          static_cast<forms::Control*>(&txtCM)}) {
        c->SetTabIndex(tab++);
    }
}

void frmVornack::LayOutMenus() {
    for (forms::Menu* item :
         {&mnuFileOpen, &mnuFileReload, &xSprt1, &mnuGo, &mnuPublish, &mnuPublishStop, &xSprt2,
          &mnuOpenLocal, &mnuOpenRemote, &xSprt3, &mnuExit})
        mnuOperate.AddItem(*item);
    mnuPublishStop.SetEnabled(false);
    for (forms::Menu* item : {&mnuReadMe, &xSprt4, &mnuVersion}) mnuHelp.AddItem(*item);
    AddMenu(mnuOperate);
    AddMenu(mnuHelp);
}

}  // namespace vb::ui
