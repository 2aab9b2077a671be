// frmVornack: the folder and help commands and the home-page link.
#include "build_config.h"
#include "builder/output_folder.h"
#include "platform/program_folder.h"
#include "ui/frm_vornack.h"
#include "ui/remote_folder.h"
#include "winutil/api_shell_execute.h"
#include "winutil/fun_easy_version.h"

namespace vb::ui {

void frmVornack::mnuFileOpen_Click() {
    winutil::ExecuteFile(services_.shell, settings::IniFileAccess::GetIniPath(),
                         winutil::kShowNormal);
}

void frmVornack::mnuFileReload_Click() { GetIniSetting(); }

void frmVornack::mnuOpenLocal_Click() {
    if (cboServer.ListIndex() < 0) return;
    // The folder goes to the file manager as one argument; a failure to start it (False) is
    // ignored.
    services_.shell.OpenFolder(builder::OutputFolderPath(cboServer.Text()));
}

void frmVornack::mnuOpenRemote_Click() {
    if (cboServer.ListIndex() < 0) return;
    std::string entry;
    if (!ini_.GetIni(settings::kSettingSection, entry,
                     "Server" + std::to_string(cboServer.ListIndex() + 1)))
        return;
    const ServerWords words = rules::SplitServerEntry(entry);
    txtLog.AppendText(RemoteFolderLogLines(words));
    services_.shell.OpenAddress(RemoteFolderAddress(words));
}

void frmVornack::mnuReadMe_Click() {
    winutil::ExecuteFile(services_.shell,
                         platform::JoinPath(platform::ProgramFolder(), "ReadMe.txt"),
                         winutil::kShowNormal);
}

void frmVornack::mnuVersion_Click() {
    winutil::ShowVersion(services_.boxes, build_config::kCredit);
}

void frmVornack::lblUrl_Click() {
    winutil::ExecuteFile(services_.shell, build_config::kHomeUrl, winutil::kShowNormal);
}

}  // namespace vb::ui
