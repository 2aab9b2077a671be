// Runs one write-out headless in the current folder, taken as the program folder, the way a
// user would: the window starts (loading the settings file), the replacement text is typed,
// 書き出し is answered はい, and the window is closed by its close box (saving the settings
// file). Fixed seeds make the picks and temporary names the same on every run, so the
// Linux and Windows builds of this program must leave the same bytes behind.
#include <cstdio>
#include <filesystem>

#include "fakes.h"
#include "platform/native_path.h"
#include "platform/program_folder.h"
#include "ui/frm_vornack.h"

namespace {

constexpr std::uint32_t kSeed = 20240607;
// Typed into the replacement: characters cp932 cannot hold (written as &#N;), a character
// whose second byte is a backslash, the characters that conversion tables encode one-way or
// differently (¢ £ ¥ ¬ — ‖ ‾ − 〜 and U+F8F0 to U+F8F3), CR LF and a lone LF.
constexpr const char* kReplaceText =
    "<p>絵文字😀と①Ⅻ、ソ表\\</p>\r\n<p>¢£¥¬—‖‾−〜\uF8F0\uF8F1\uF8F2\uF8F3</p>\n";

int Run() {
    using namespace vb;
    platform::SetProgramFolderForTesting(platform::Utf8FromPath(std::filesystem::current_path()));
    test::FakeMessageBox boxes;
    test::CountingEventPump events;
    test::FakeDesktopShell shell;
    ui::frmVornack window(ui::WindowServices{
        .boxes = boxes, .events = events, .shell = shell, .options = {.pickSeed = [] {
                                                              return kSeed;
                                                          }}});
    window.Form_Load();
    window.txtReplaceText.SetText(kReplaceText);
    window.Fso().SeedTempNames(kSeed);
    boxes.QueueAnswer(platform::MsgResult::Yes);
    window.mnuGo.RaiseClick();
    window.Unload(forms::UnloadMode::ControlMenu);
    // Only the confirmation may have come up: any other box means the run failed.
    if (boxes.shown().size() != 1) {
        for (const auto& box : boxes.shown()) std::fprintf(stderr, "box: %s\n", box.text.c_str());
        return 1;
    }
    return window.IsUnloaded() ? 0 : 1;
}

}  // namespace

int main() {
    try {
        return Run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "failed: %s\n", e.what());
        return 1;
    }
}
