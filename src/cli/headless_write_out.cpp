#include "cli/headless_write_out.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "cli/console_boxes.h"
#include "cli/log_echo.h"
#include "platform/console.h"
#include "platform/desktop_shell.h"
#include "ui/frm_vornack.h"

namespace vb::cli {

namespace {

using platform::ConsoleStream;

// No window: nothing is ever waiting to run.
class NoEvents : public platform::EventPump {
  public:
    void ProcessEvents() override {}
};

// A command-line run starts no other program; the write-out asks for none.
class NoDesktop : public platform::DesktopShell {
  public:
    int Execute(const std::optional<std::string>&, const std::string&,
                const std::optional<std::string>&, const std::optional<std::string>&,
                int) override {
        return platform::kShellNoAssociation;
    }
    bool OpenFolder(const std::string&) override { return false; }
    bool OpenAddress(const std::string&) override { return false; }
};

// Chooses the list's item of that name (the first one, should the settings file list it
// twice). False when the list has no such item.
bool Choose(forms::ComboBox& list, const std::string& name) {
    const auto& items = list.Items();
    const auto found = std::find(items.begin(), items.end(), name);
    if (found == items.end()) return false;
    list.SetListIndex(static_cast<int>(found - items.begin()));
    return true;
}

std::string Listed(const forms::ComboBox& list) {
    std::string names;
    for (const auto& item : list.Items()) names += "  " + item + "\n";
    return names;
}

// Puts the options' values into the window's fields, as a user would type and choose them.
// A server or title the settings file does not list is the command line's fault.
std::optional<std::string> FillFields(ui::frmVornack& form, const CommandLine& line) {
    if (line.server && !Choose(form.cboServer, *line.server))
        return "設定ファイルにないサーバーです: " + *line.server +
               " (not a server of the settings file)\n" + Listed(form.cboServer);
    if (line.title && !Choose(form.cboTitle, *line.title))
        return "設定ファイルにないページタイトルです: " + *line.title +
               " (not a title of the settings file)\n" + Listed(form.cboTitle);
    const std::pair<const std::optional<std::string>&, forms::TextBox&> texts[] = {
        {line.source, form.txtSrcPath},        {line.pages, form.txtMakePageNum},
        {line.perPage, form.txtPagePerSrcNum}, {line.target, form.txtReplaceTarget},
        {line.replace, form.txtReplaceText},
    };
    for (const auto& [value, field] : texts)
        if (value) field.SetText(*value);
    return std::nullopt;
}

}  // namespace

int RunWriteOut(const CommandLine& line) {
    ConsoleMessageBoxes boxes(line.yes);
    NoEvents events;
    NoDesktop shell;
    std::function<std::uint32_t()> pickSeed;
    if (line.seed) pickSeed = [seed = *line.seed] { return seed; };
    ui::frmVornack form({.boxes = boxes, .events = events, .shell = shell, .pickSeed = pickSeed});
    form.Load();
    if (boxes.Failed()) return kExitWriteFailure;
    if (const auto fault = FillFields(form, line)) {
        platform::WriteToConsole(ConsoleStream::Error, *fault);
        return kExitBadCommandLine;
    }
    if (line.seed) form.Fso().SeedTempNames(*line.seed);

    LogEcho echo(form.txtLog, form.pbrProcess);
    boxes.BeforeText = [&echo] { echo.ClearProgress(); };
    form.mnuGo.RaiseClick();
    return boxes.ExitStatus();
}

int RunCommandLine(const std::vector<std::string>& args, bool slashForms) {
    const ParsedCommandLine parsed = ParseCommandLine(args, slashForms);
    if (!parsed.line) {
        platform::WriteToConsole(
            ConsoleStream::Error,
            parsed.error + "\n--help で使い方を表示します (--help lists the options)\n");
        return kExitBadCommandLine;
    }
    if (parsed.line->help) {
        platform::WriteToConsole(ConsoleStream::Output, HelpText(slashForms));
        return kExitSuccess;
    }
    return RunWriteOut(*parsed.line);
}

}  // namespace vb::cli
