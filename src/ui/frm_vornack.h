#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "builder/build_window.h"
#include "builder/page_builder.h"
#include "forms/combo_box.h"
#include "forms/control_family.h"
#include "forms/form.h"
#include "forms/label.h"
#include "forms/line.h"
#include "forms/menu.h"
#include "forms/progress_bar.h"
#include "forms/text_box.h"
#include "forms/timer.h"
#include "forms/web_browser.h"
#include "platform/desktop_shell.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "publish/publisher.h"
#include "publish/transfer.h"
#include "settings/api_ini_file_access.h"
#include "settings/ini_setting.h"
#include "ui/publish_run.h"
#include "ui/thread_checked_services.h"

namespace vb::ui {

// What the advertisement panel shows until an advertisement page arrives.
inline constexpr const char* kAdPlaceholder = "For Rent\r\nCM Area\r\n";
// Where on the advertisement host the advertisement page is.
inline constexpr const char* kAdvertisementPath = "/member/zund/cm/navigator.php";

// What the window is given beside the three services below, each with its default.
struct WindowOptions {
    // Makes the window's one file-system service at its first use; empty: the real one.
    std::function<std::unique_ptr<platform::FileSystemObject>()> makeFileSystem = {};
    // Host (or host:port) serving the advertisement page; empty: the host the build names.
    std::string advertisementHost = {};
    // Where each write-out takes the seed of its source picks; empty: the seconds since
    // midnight. Tests and benchmarks pass a fixed seed.
    std::function<std::uint32_t()> pickSeed = {};
    // The raw reads and replaces under the settings file; null: the system's. Tests pass a
    // store with injected faults.
    settings::SettingsFileStore* settingsStore = nullptr;
    // Whether the start makes each listed server's output folder (the window's rule).
    settings::ServerFolders serverFolders = settings::ServerFolders::Make;
    // Makes the transfer of each publish (called on the window's thread, used on the
    // publish's own); empty: libcurl's. Tests pass a fake server.
    std::function<std::unique_ptr<publish::Transfer>()> makeTransfer = {};
};

// Every service the window uses, handed in once when it is made: the program's entry point
// passes the real ones, tests and benchmarks pass their own. Each must outlive the window.
// Not here: the screen and the program folder, which are facts of the whole process (the
// build and the settings layer read the program folder too).
struct WindowServices {
    // Modal message boxes: validation, questions, failures, the version box.
    platform::MessageBoxService& boxes;
    // Lets pending window events run: the write-out's yields, the ad timer's tick, the 3D line.
    platform::EventPump& events;
    // Opens documents, folders and addresses with the desktop's programs.
    platform::DesktopShell& shell;
    WindowOptions options = {};
};

// The program's one window: the fields of a write-out, the log, the progress bar, the
// advertisement panel, the home-page link and two menus. It owns all state of a run.
// The controls and menus are laid out by the constructor (frm_vornack_layout.cpp); the
// handlers live in frm_vornack.cpp (start, close, source count, write-out),
// frm_vornack_commands.cpp (folder and help commands), frm_vornack_publish.cpp (the publish
// and its stop) and frm_vornack_ad_panel.cpp.
class frmVornack : public forms::Form {
  public:
    explicit frmVornack(const WindowServices& services);
    ~frmVornack() override;

    // Controls, in the order of the design.
    forms::ControlFamily lblGuide{"lblGuide"};
    forms::TextBox txtSrcPath{"txtSrcPath"};
    forms::TextBox txtSrcNum{"txtSrcNum"};
    forms::ComboBox cboServer{"cboServer"};
    forms::TextBox txtMakePageNum{"txtMakePageNum"};
    forms::TextBox txtPagePerSrcNum{"txtPagePerSrcNum"};
    forms::TextBox txtReplaceTarget{"txtReplaceTarget"};
    forms::TextBox txtReplaceText{"txtReplaceText"};
    forms::ComboBox cboTitle{"cboTitle"};
    forms::ProgressBar pbrProcess{"pbrProcess"};
    forms::TextBox txtLog{"txtLog"};
    forms::WebBrowser wbCM{"wbCM"};
    forms::TextBox txtCM{"txtCM"};
    forms::Label lblUrl{"lblUrl"};
    forms::Label lblCMNotice{"lblCMNotice"};
    forms::Timer tmrNaviStep{"tmrNaviStep"};
    // Brings a running publish's news to the window's thread.
    forms::Timer tmrPublish{"tmrPublish"};
    forms::ControlFamily lnMenu{"lnMenu"};

    // Menus.
    forms::Menu mnuOperate{"mnuOperate", "操作(&O)"};
    forms::Menu mnuFileOpen{"mnuFileOpen", "設定ﾌｧｲﾙ編集(&E)"};
    forms::Menu mnuFileReload{"mnuFileReload", "設定ﾌｧｲﾙ再読込(&F)"};
    forms::Menu xSprt1{"xSprt1", "-"};
    forms::Menu mnuGo{"mnuGo", "書き出し(&W)"};
    forms::Menu mnuPublish{"mnuPublish", "ｻｰﾊﾞｰへ公開(&P)"};
    forms::Menu mnuPublishStop{"mnuPublishStop", "公開を中止(&S)"};
    forms::Menu xSprt2{"xSprt2", "-"};
    forms::Menu mnuOpenLocal{"mnuOpenLocal", "ﾛｰｶﾙﾌｫﾙﾀﾞを開く(&L)"};
    forms::Menu mnuOpenRemote{"mnuOpenRemote", "ﾘﾓｰﾄﾌｫﾙﾀﾞを開く(&R)"};
    forms::Menu xSprt3{"xSprt3", "-"};
    forms::Menu mnuExit{"mnuExit", "終了(&X)"};
    forms::Menu mnuHelp{"mnuHelp", "ﾍﾙﾌﾟ(&H)"};
    forms::Menu mnuReadMe{"mnuReadMe", "使い方(&U)"};
    forms::Menu xSprt4{"xSprt4", "-"};
    forms::Menu mnuVersion{"mnuVersion", "ﾊﾞｰｼﾞｮﾝ情報(&A)..."};

    // The start-up as the program runs it: Form_Load, with any failure reported in a message
    // box (the program's own words for one it does not know). A window whose start-up failed
    // still closes (without saving settings it never read).
    void Load();
    // The start-up failed (and said so in a box).
    bool LoadFailed() const { return loadFailed_; }

    // Handlers.
    void Form_Load();
    void Form_QueryUnload(bool& cancel, forms::UnloadMode unloadMode);
    void mnuExit_Click();
    void txtSrcPath_LostFocus();
    void mnuGo_Click();
    void mnuPublish_Click();
    void mnuPublishStop_Click();
    void tmrPublish_Timer();
    void mnuFileOpen_Click();
    void mnuFileReload_Click();
    void mnuOpenLocal_Click();
    void mnuOpenRemote_Click();
    void mnuReadMe_Click();
    void mnuVersion_Click();
    void lblUrl_Click();
    void tmrNaviStep_Timer();
    void wbCM_NavigateComplete2(const forms::BrowserObject& browser, const std::string& url);

    // The settings file this window loads and saves.
    void GetIniSetting();
    void PutIniSetting();

    // Window-level state. intNaviStep: how far the advertisement panel's timer has gone.
    static constexpr std::int16_t kNaviStepNavigate = 0;  // the next tick navigates
    static constexpr std::int16_t kNaviStepStop = 1;      // the next tick stops the timer
    static constexpr std::int16_t kNaviStepDone = 2;      // the timer has stopped
    std::int16_t intNaviStep = kNaviStepNavigate;
    std::string TemplateText;
    const builder::RunState& WriteOutState() const { return runState_; }
    // How the last write-out this window ran ended; empty before the first one.
    const std::optional<builder::WriteOutOutcome>& LastWriteOut() const { return lastWriteOut_; }
    // A publish runs (on its own thread): every other command waits for its end.
    bool Publishing() const { return publishRun_ != nullptr; }
    // How the last publish this window ran ended; empty before the first one has ended.
    const std::optional<publish::PublishReport>& LastPublish() const { return lastPublish_; }

    // The advertisement page's address, on the host the services name.
    std::string AdvertisementAddress() const;

    // The file-system service, created on first use and kept for the window's lifetime.
    platform::FileSystemObject& Fso();

  private:
    // The write-out of this window, made on first use.
    builder::PageBuilder& Builder();
    void LayOutControls();
    void LayOutMenus();
    void ConnectHandlers();
    settings::SettingsFields SettingsFieldsOfWindow();
    // The publish of the chosen server as the settings file sets it, or why there is none
    // (shown in a box).
    std::optional<publish::PublishJob> PublishJobOfServer();
    void EndPublish(const publish::PublishReport& report);
    void ShowPublishEnd(const publish::PublishReport& report, const std::string& host);
    void SetPublishing(bool publishing);
    // A close that arrives while the window must not close yet (its start-up has not
    // finished, or a write-out runs) is held and honoured once that is over.
    bool MustHoldClose() const;
    void HoldClose(forms::UnloadMode mode);
    void CloseIfHeld();
    // Runs a handler so that no failure escapes: an unexpected failure is reported with
    // the system's description and the program carries on.
    template <class F>
    void Guarded(F&& handler);
    // A command the user starts; ignored while a write-out runs.
    template <class F>
    void Command(F&& handler);

    // The services checked to be called on the window's thread, and the window's services
    // with them in place of the ones passed.
    ThreadCheckedServices checked_;
    WindowServices services_;
    std::unique_ptr<platform::FileSystemObject> fso_;
    std::unique_ptr<builder::PageBuilder> builder_;
    settings::IniFileAccess ini_;
    std::string srcPathNotShown_;  // the stored source path the load did not show
    builder::RunState runState_;
    bool loaded_ = false;        // Form_Load has finished (or failed)
    bool loading_ = false;       // Form_Load runs: commands are ignored
    bool settingsRead_ = false;  // the settings file was read at start-up
    bool loadFailed_ = false;    // Form_Load failed
    std::optional<builder::WriteOutOutcome> lastWriteOut_;
    std::optional<forms::UnloadMode> heldClose_;  // a close waiting to be honoured
    std::unique_ptr<PublishRun> publishRun_;      // the publish running, if any
    std::string publishHost_;                     // the host of the last publish started
    std::optional<publish::PublishReport> lastPublish_;
};

}  // namespace vb::ui
