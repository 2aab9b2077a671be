#pragma once

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fakes.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "temp_dir.h"
#include "ui/frm_vornack.h"

namespace vb::test {

// The real file service, with faults a test injects per path: an errno for reads, a refusal
// to open for reading, an errno for writes.
class FaultyFileSystem : public platform::FileSystemObject {
  public:
    std::map<std::string, int> readFails;   // path -> errno of the failing read
    std::map<std::string, int> writeFails;  // path -> errno of the failing write
    std::vector<std::string> unopenable;    // paths that cannot be opened for reading
    std::function<int(const std::string&)> writeFailsWhen;  // errno or 0, for any path

    bool CanOpenForReading(const std::string& path) override;
    std::string ReadAllBytes(const std::string& path) override;
    std::string_view ReadFileOf(platform::FolderReader& folder, const std::string& name) override;
    void WriteAllPieces(const std::string& path, std::span<const std::string_view> pieces) override;
};

// Everything under a folder, one entry per path: its kind, permission bits and size, and a
// hash of a file's bytes or a link's target. Two snapshots that compare equal mean that
// nothing under the folder was changed.
using Tree = std::map<std::string, std::string>;
Tree Snapshot(const std::filesystem::path& root);
// The paths that differ between two snapshots (added, removed or changed).
std::vector<std::string> Changed(const Tree& before, const Tree& after);
// The snapshot without the given folder (relative to the snapshot's root), its content and,
// for an output folder, the write-out's lock file beside it.
Tree Without(Tree tree, const std::string& folder);

// A message box as the user sees it: the icon and the text (or how the text starts).
struct SeenBox {
    platform::MsgIcon icon;
    std::string text;
    bool wholeText = true;  // false: the box's text starts with text
};
std::string Describe(const std::vector<SeenBox>& boxes);
std::string Describe(const std::vector<FakeMessageBox::Shown>& boxes);
bool Matches(const std::vector<FakeMessageBox::Shown>& shown, const std::vector<SeenBox>& seen);

// A program folder of its own: local/srv holding an old page, local/other holding a file of
// another server, template.html, a source folder src with two sources and a settings file
// that lists both servers and one title and chooses the first of each. The window loads it
// like the user's program would.
// Its members are public so that table rows (lambdas) can arrange and check through them.
class HostileTest : public ::testing::Test {
  public:
    HostileTest();
    ~HostileTest() override;

    std::string At(const std::string& relative) const { return dir / relative; }
    std::string IniPath() const { return At("VornackBuilder.ini"); }
    // The settings file as cp932, from UTF-8 lines each ending in CR LF.
    void WriteSettings(const std::vector<std::string>& lines);
    std::vector<std::string> DefaultSettings() const;

    // The window over the faulty file service, created on first use.
    ui::frmVornack& Window();
    ui::frmVornack& Started();  // Window() after its start-up (settings loaded)
    // Closes the window as the user would, which saves the settings.
    void Close();
    // A new window in the same program folder, started: what the next start shows.
    std::unique_ptr<ui::frmVornack> Restarted(FakeMessageBox& boxes);

    // Chooses a server that is not in the settings file, as if the list held it.
    void ChooseServer(const std::string& name);
    // The page files and index.html of a server's output folder, by name.
    std::vector<std::string> OutputFiles(const std::string& server) const;

    TempDir dir;
    FakeMessageBox boxes;
    CountingEventPump events;
    FakeDesktopShell shell;
    FaultyFileSystem* fso = nullptr;                       // owned by the window
    settings::SettingsFileStore* settingsStore = nullptr;  // the window's; null: the system's
    std::unique_ptr<ui::frmVornack> window;

    static constexpr const char* kSource1 = "一行目\r\nヴォルナックの二行目\r\n";
    static constexpr const char* kSource2 = "ヴォルナックだけ";
    static constexpr const char* kTemplate = "<title>&&TITLE&&</title>\r\n<body>&&BODY&&</body>";
    static constexpr const char* kOldPage = "old page of the last run";
    static constexpr const char* kOtherServerFile = "the other server's page";
};

}  // namespace vb::test
