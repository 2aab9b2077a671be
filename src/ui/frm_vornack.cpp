// frmVornack: construction, start-up, closing, the source-file count and the write-out.
#include "ui/frm_vornack.h"

#include <exception>
#include <string>

#include "forms/guarded_call.h"
#include "forms/resources.h"
#include "platform/app_title.h"
#include "winutil/api_set_window_pos.h"
#include "winutil/fun_easy_version.h"
#include "winutil/fun_form_position.h"
#include "winutil/fun_giving_hand_cursor.h"
#include "winutil/fun_line_write_3d.h"

namespace vb::ui {

frmVornack::frmVornack(const WindowServices& services)
    : forms::Form("frmVornack"),
      checked_(services.boxes, services.events, services.shell),
      // The three services checked, the options whole as the caller gave them.
      services_{checked_.Boxes(), checked_.Events(), checked_.Shell(), services.options},
      ini_(services_.boxes, services.options.settingsStore) {
    LayOutControls();
    LayOutMenus();
    ConnectHandlers();
}

frmVornack::~frmVornack() = default;

template <class F>
void frmVornack::Guarded(F&& handler) {
    forms::RunGuarded(
        std::forward<F>(handler),
        [this](const std::string& description) {
            services_.boxes.Show(description, platform::MsgButtons::OK, platform::MsgIcon::Critical,
                                 platform::kAppTitle);
        },
        platform::kUnexpectedFailure);
}

template <class F>
void frmVornack::Command(F&& handler) {
    // As during a run, a command chosen during the start-up's yield is ignored: it would
    // run before the settings are loaded. During a publish the window handles its events as
    // usual, and every command but the publish's stop waits for its end.
    if (loading_ || runState_.writeOutRunning || Publishing()) return;
    Guarded(std::forward<F>(handler));
}

void frmVornack::ConnectHandlers() {
    QueryUnload = [this](bool& cancel, forms::UnloadMode mode) {
        if (MustHoldClose()) {
            HoldClose(mode);
            cancel = true;
            return;
        }
        Guarded([&] { Form_QueryUnload(cancel, mode); });
    };
    txtSrcPath.LostFocus = [this] { Guarded([this] { txtSrcPath_LostFocus(); }); };
    mnuGo.Click = [this] { Command([this] { mnuGo_Click(); }); };
    mnuPublish.Click = [this] { Command([this] { mnuPublish_Click(); }); };
    mnuPublishStop.Click = [this] { Guarded([this] { mnuPublishStop_Click(); }); };
    tmrPublish.Tick = [this] { Guarded([this] { tmrPublish_Timer(); }); };
    mnuExit.Click = [this] { Guarded([this] { mnuExit_Click(); }); };
    mnuFileOpen.Click = [this] { Command([this] { mnuFileOpen_Click(); }); };
    mnuFileReload.Click = [this] { Command([this] { mnuFileReload_Click(); }); };
    mnuOpenLocal.Click = [this] { Command([this] { mnuOpenLocal_Click(); }); };
    mnuOpenRemote.Click = [this] { Command([this] { mnuOpenRemote_Click(); }); };
    mnuReadMe.Click = [this] { Command([this] { mnuReadMe_Click(); }); };
    mnuVersion.Click = [this] { Command([this] { mnuVersion_Click(); }); };
    lblUrl.Click = [this] { Command([this] { lblUrl_Click(); }); };
    tmrNaviStep.Tick = [this] { Guarded([this] { tmrNaviStep_Timer(); }); };
    wbCM.NavigateComplete2 = [this](const forms::BrowserObject& browser, const std::string& url) {
        Guarded([&] { wbCM_NavigateComplete2(browser, url); });
    };
}

void frmVornack::Load() {
    loading_ = true;
    Guarded([this] { Form_Load(); });
    loading_ = false;
    if (loaded_) return;
    // Form_Load failed (and was reported): the window must still be able to close.
    loaded_ = true;
    loadFailed_ = true;
    CloseIfHeld();
}

void frmVornack::Form_Load() {
    winutil::SetTopMost(*this, true);
    winutil::SetFormPosition(*this, winutil::kPositionCenter);
    winutil::SetMenuLine(lnMenu, services_.events);
    GetIniSetting();
    settingsRead_ = true;
    winutil::SetHandCursor("CURSOR_HAND", forms::kResCursor, lblUrl);
    SetCaption(std::string(platform::kAppTitle) + " v" + winutil::GetVersion());
    wbCM.SetVisible(false);
    wbCM.Navigate("about:blank");
    loaded_ = true;
    CloseIfHeld();
}

void frmVornack::Form_QueryUnload(bool& /*cancel*/, forms::UnloadMode /*unloadMode*/) {
    // Closing is never refused, whatever its reason. Settings a failed start-up never read
    // are not saved over the file.
    if (settingsRead_) PutIniSetting();
}

void frmVornack::mnuExit_Click() { Unload(forms::UnloadMode::FromCode); }

void frmVornack::txtSrcPath_LostFocus() {
    txtSrcNum.SetText(settings::SourceFileCountText(Fso(), txtSrcPath.Text()));
}

void frmVornack::mnuGo_Click() {
    lastWriteOut_ = Builder().Run();
    CloseIfHeld();
}

// Form_Load yields (the Linux window is shown before it, the Windows one after) to pending events
// while it loads: a close honoured then would save the still-empty fields over the settings file. A
// write-out yields too, and closes once it has finished; a publish is stopped, and the window
// closes once it has ended.
bool frmVornack::MustHoldClose() const {
    return !loaded_ || runState_.writeOutRunning || Publishing();
}

void frmVornack::HoldClose(forms::UnloadMode mode) {
    heldClose_ = mode;
    if (Publishing()) mnuPublishStop_Click();
    // The end of the desktop session does not wait for the run: the settings are saved now
    // (and again when the run has finished, should the program live that long).
    if (mode == forms::UnloadMode::AppWindows && loaded_ && settingsRead_)
        Guarded([this] { PutIniSetting(); });
}

void frmVornack::CloseIfHeld() {
    if (!heldClose_ || MustHoldClose()) return;
    const forms::UnloadMode mode = *heldClose_;
    heldClose_.reset();
    Unload(mode);
}

settings::SettingsFields frmVornack::SettingsFieldsOfWindow() {
    return {*this,          txtSrcPath,     txtSrcNum,        cboServer,
            cboTitle,       txtMakePageNum, txtPagePerSrcNum, txtReplaceTarget,
            txtReplaceText, txtCM,          srcPathNotShown_};
}

void frmVornack::GetIniSetting() {
    settings::GetIniSetting(SettingsFieldsOfWindow(), Fso(), ini_, services_.options.serverFolders);
}

void frmVornack::PutIniSetting() {
    settings::PutIniSetting(SettingsFieldsOfWindow(), ini_, services_.boxes);
}

platform::FileSystemObject& frmVornack::Fso() {
    if (!fso_)
        fso_ = services_.options.makeFileSystem ? services_.options.makeFileSystem()
                                                : std::make_unique<platform::FileSystemObject>();
    return *fso_;
}

builder::PageBuilder& frmVornack::Builder() {
    if (!builder_) {
        builder_ = std::make_unique<builder::PageBuilder>(
            builder::BuildWindow{txtSrcPath, cboServer, cboTitle, txtMakePageNum, txtPagePerSrcNum,
                                 txtReplaceTarget, txtReplaceText, txtLog, pbrProcess, TemplateText,
                                 Fso(), services_.boxes, services_.events, runState_});
        builder_->SetPickSeedSource(services_.options.pickSeed);
    }
    return *builder_;
}

}  // namespace vb::ui
