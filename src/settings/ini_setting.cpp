#include "settings/ini_setting.h"

#include <exception>
#include <optional>
#include <string_view>
#include <utility>

#include "build_config.h"
#include "forms/fun_text_box_operate.h"
#include "platform/app_title.h"
#include "platform/program_folder.h"
#include "rules/folder_name.h"
#include "rules/numeric.h"
#include "rules/server_entry.h"

namespace vb::settings {

namespace {

std::optional<std::string> ReadSetting(IniFileAccess& ini, const std::string& key) {
    std::string value;
    if (!ini.GetIni(kSettingSection, value, key)) return std::nullopt;
    return value;
}

// Creates the server's output folder; a folder that exists already, a missing "local" or a
// name the file system refuses are all fine. A name that is not one plain folder name (it
// could climb out of "local") gets no folder at all.
void CreateServerFolder(platform::FileSystemObject& fso, const std::string& host) {
    if (!rules::IsPlainFolderName(host)) return;
    const std::string local = platform::LocalFolder();
    const std::string folder = platform::JoinPath(local, host);
    // The usual cases are asked for: the folder is there from an earlier start, or there is
    // no "local" to make it in.
    if (fso.FolderExists(folder) || !fso.FolderExists(local)) return;
    try {
        fso.CreateFolder(folder);
    } catch (const std::exception&) {
        // A name the file system refuses, a file of that name, no room: the load goes on.
    }
}

// Fills the list from the keys prefix + 1, prefix + 2, ... up to the first absent one.
template <typename OnEntry>
void ReadNumberedKeys(IniFileAccess& ini, const std::string& prefix, OnEntry onEntry) {
    for (int n = 1;; ++n) {
        const auto value = ReadSetting(ini, prefix + std::to_string(n));
        if (!value) return;
        onEntry(*value);
    }
}

// Chooses the stored position: the number the text starts with, rounded halves to even.
// A position the list refuses (or beyond a 16-bit whole number) chooses the first item.
void SelectStoredPosition(forms::ComboBox& list, IniFileAccess& ini, const std::string& key) {
    if (list.ListCount() == 0) return;
    const auto stored = ReadSetting(ini, key);
    if (!stored) return;
    const auto position = rules::RoundHalfEvenToInt16(rules::LeadingNumber(*stored));
    list.SetListIndex(position && list.AcceptsListIndex(*position) ? *position : 0);
}

void ReadTextOrDefault(IniFileAccess& ini, const std::string& key, forms::TextBox& box,
                       const std::string& fallback) {
    box.SetText(ReadSetting(ini, key).value_or(fallback));
}

// One reading of the settings file for a whole load or save (IniFileAccess::HoldReads).
class HeldReads {
  public:
    explicit HeldReads(IniFileAccess& ini) : ini_(ini) { ini_.HoldReads(true); }
    ~HeldReads() { ini_.HoldReads(false); }
    HeldReads(const HeldReads&) = delete;
    HeldReads& operator=(const HeldReads&) = delete;

  private:
    IniFileAccess& ini_;
};

}  // namespace

std::string DefaultReplaceText() {
    return std::string("<a href='") + build_config::kHomeUrl + "'>" + kDefaultReplaceTarget +
           "</a>";
}

std::string SourceFileCountText(platform::FileSystemObject& fso, const std::string& folder) {
    if (!fso.FolderExists(folder)) return "0";
    try {
        return std::to_string(fso.GetFolder(folder).Count());
    } catch (const std::exception&) {
        return "0";  // exists but cannot be listed: loading must not stop the program
    }
}

void GetIniSetting(const SettingsFields& fields, platform::FileSystemObject& fso,
                   IniFileAccess& ini, ServerFolders serverFolders) {
    const HeldReads held(ini);  // one reading of the file for every key of the load
    const std::string advertisement = fields.txtCM.Text();
    forms::ClearAllText(fields.form);
    fields.txtCM.SetText(advertisement);

    fields.srcPathNotShown.clear();
    if (const auto srcPath = ReadSetting(ini, "SrcPath")) {
        if (fso.FolderExists(*srcPath))
            fields.txtSrcPath.SetText(*srcPath);
        else
            fields.srcPathNotShown = *srcPath;
        fields.txtSrcNum.SetText(SourceFileCountText(fso, *srcPath));
    }

    fields.cboServer.Clear();
    ReadNumberedKeys(ini, "Server", [&](const std::string& entry) {
        const std::string host = rules::ServerListName(entry);
        fields.cboServer.AddItem(host);
        if (serverFolders == ServerFolders::Make) CreateServerFolder(fso, host);
    });
    SelectStoredPosition(fields.cboServer, ini, "PrevServer");

    fields.cboTitle.Clear();
    ReadNumberedKeys(ini, "Title",
                     [&](const std::string& title) { fields.cboTitle.AddItem(title); });
    SelectStoredPosition(fields.cboTitle, ini, "PrevTitle");

    ReadTextOrDefault(ini, "MakePageNum", fields.txtMakePageNum, kDefaultMakePageNum);
    ReadTextOrDefault(ini, "PagePerSrcNum", fields.txtPagePerSrcNum, kDefaultPagePerSrcNum);
    ReadTextOrDefault(ini, "ReplaceTarget", fields.txtReplaceTarget, kDefaultReplaceTarget);
    ReadTextOrDefault(ini, "ReplaceText", fields.txtReplaceText, DefaultReplaceText());
}

void PutIniSetting(const SettingsFields& fields, IniFileAccess& ini,
                   platform::MessageBoxService& boxes) {
    const IniFileAccess::KeyValues keys = {
        {"PrevServer", std::to_string(fields.cboServer.ListIndex())},
        {"PrevTitle", std::to_string(fields.cboTitle.ListIndex())},
        {"SrcPath",
         fields.txtSrcPath.Text().empty() ? fields.srcPathNotShown : fields.txtSrcPath.Text()},
        {"MakePageNum", fields.txtMakePageNum.Text()},
        {"PagePerSrcNum", fields.txtPagePerSrcNum.Text()},
        {"ReplaceTarget", fields.txtReplaceTarget.Text()},
        {"ReplaceText", fields.txtReplaceText.Text()},
    };
    // One reading and one replacement of the file for the seven keys: a settings file of
    // thousands of servers is copied once, and a failed save leaves every key as it was.
    if (ini.PutIniKeys(kSettingSection, keys)) return;
    const WriteFailure& failure = ini.LastWriteFailure();
    if (failure.kind == WriteFailureKind::WriteProtected && failure.warned) return;
    boxes.Show(std::string(kSaveFailedMessage) + "\r\n" + failure.path + "\r\n" + failure.reason,
               platform::MsgButtons::OK, platform::MsgIcon::Exclamation, platform::kAppTitle);
}

}  // namespace vb::settings
