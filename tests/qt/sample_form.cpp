#include "sample_form.h"

#include "platform/app_title.h"

namespace vb::test {

SampleForm::SampleForm() : forms::Form("frmSample") {
    SetCaption(std::string(platform::kAppTitle) + " v" VB_TEST_CAPTION_VERSION);
    SetClientSize(7575, 3000);

    mnuOperate.AddItem(mnuGo);
    mnuOperate.AddItem(xSprt1);
    mnuOperate.AddItem(mnuExit);
    mnuHelp.AddItem(mnuVersion);
    AddMenu(mnuOperate);
    AddMenu(mnuHelp);

    const struct {
        const char* caption;
        int left, top, width;
    } guides[] = {
        {"ソースパス", 150, 210, 840}, {"対象サーバ", 150, 510, 900}, {"ログ", 180, 1110, 315}};
    for (int i = 0; i < 3; ++i) {
        forms::Label& label = lblGuide.Create(i);
        label.SetCaption(guides[i].caption);
        label.Move(guides[i].left, guides[i].top, guides[i].width, 180);
        AddControl(label);
    }

    txtSrcPath.Move(1650, 150, 5745, 300);
    txtSrcPath.SetTabIndex(0);
    AddControl(txtSrcPath);

    cboServer.Move(1650, 450, 5745, 300);
    cboServer.SetTabIndex(1);
    cboServer.AddItem("ftp.example.jp");
    cboServer.AddItem("www.example.jp");
    AddControl(cboServer);

    pbrProcess.Move(1650, 750, 5745, 300);
    pbrProcess.SetTabStop(false);
    AddControl(pbrProcess);

    txtLog.SetMultiLine(true);
    txtLog.SetLocked(true);
    txtLog.SetScrollBars(forms::ScrollBars::Both);
    txtLog.SetBackColor(forms::kButtonFace);
    txtLog.Move(1650, 1050, 5745, 1500);
    txtLog.SetTabIndex(2);
    AddControl(txtLog);

    lblUrl.SetCaption("http://vornack.example/");
    lblUrl.SetForeColor(forms::kBlue);
    lblUrl.Move(1650, 2700, 1710, 180);
    AddControl(lblUrl);

    AddControl(lnMenu.Create(0));

    tmrStep.SetEnabled(false);
    tmrStep.SetInterval(1000);
    AddControl(tmrStep);
}

}  // namespace vb::test
