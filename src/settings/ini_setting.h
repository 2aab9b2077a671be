#pragma once

#include <string>

#include "forms/combo_box.h"
#include "forms/form.h"
#include "forms/text_box.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "settings/api_ini_file_access.h"

// Settings load and save: the mapping between the settings file and the main window's fields.
// frmVornack builds a SettingsFields from its own controls and calls GetIniSetting at start
// and on reload, PutIniSetting when it closes.
namespace vb::settings {

// The one section of the settings file that the program uses.
inline constexpr const char* kSettingSection = "Setting";

// Shown when the file has no value for the field.
inline constexpr const char* kDefaultMakePageNum = "100";
inline constexpr const char* kDefaultPagePerSrcNum = "10";
inline constexpr const char* kDefaultReplaceTarget = "ヴォルナック";
// A link to the product's home page with the default target word as its text.
std::string DefaultReplaceText();

// The first line of the warning a failed save shows; the file's path and the system's
// description of the cause follow on lines of their own.
inline constexpr const char* kSaveFailedMessage = "設定ﾌｧｲﾙに保存できませんでした。";

// The window's controls that the settings load and save touch.
struct SettingsFields {
    forms::Form& form;  // every text field of it is emptied at load (ClearAllText)
    forms::TextBox& txtSrcPath;
    forms::TextBox& txtSrcNum;
    forms::ComboBox& cboServer;
    forms::ComboBox& cboTitle;
    forms::TextBox& txtMakePageNum;
    forms::TextBox& txtPagePerSrcNum;
    forms::TextBox& txtReplaceTarget;
    forms::TextBox& txtReplaceText;
    forms::TextBox& txtCM;  // the advertisement text, kept across the load
    // The stored source path that the load did not show because its folder was missing (a
    // stick or a share not there at the start); empty when it showed it. The save writes it
    // back while the field is still as the load left it, empty: a folder that is away for
    // one session does not lose the setting of every later run.
    std::string& srcPathNotShown;
};

// The number of files directly in the folder, as shown in txtSrcNum: "0" when the folder
// does not exist or cannot be listed (never a failure).
std::string SourceFileCountText(platform::FileSystemObject& fso, const std::string& folder);

// Whether a load makes the output folder of each listed server: the window's start does;
// a command-line run leaves local/ as it is until its job is accepted.
enum class ServerFolders { Make, Leave };

// Empties the text fields (txtCM keeps its text) and fills the fields, the server list and
// the title list from the settings file. With ServerFolders::Make, creates the output folder
// of each listed server inside an existing "local" folder beside the program, ignoring any
// failure. Never creates the settings file, never shows a message, never fails.
void GetIniSetting(const SettingsFields& fields, platform::FileSystemObject& fso,
                   IniFileAccess& ini, ServerFolders serverFolders = ServerFolders::Make);

// Writes the seven saved keys. A failure other than the write-protected file the user has
// just been warned about is reported once, in a warning box naming the file and the reason.
void PutIniSetting(const SettingsFields& fields, IniFileAccess& ini,
                   platform::MessageBoxService& boxes);

}  // namespace vb::settings
