#include "cli/headless_write_out.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <string>

#include "builder/messages.h"
#include "builder/output_folder.h"
#include "builder/page_counts.h"
#include "builder/page_template.h"
#include "cli/console_boxes.h"
#include "cli/log_echo.h"
#include "cli/no_window.h"
#include "cli/publish_run.h"
#include "cli/run_lines.h"
#include "cli/run_termination.h"
#include "platform/console.h"
#include "platform/desktop_shell.h"
#include "platform/local_clock.h"
#include "platform/native_path.h"
#include "platform/save/whole_file.h"
#include "platform/system_error.h"
#include "rules/server_entry.h"
#include "ui/frm_vornack.h"
#include "winutil/fun_easy_version.h"

namespace vb::cli {

namespace {

using platform::ConsoleStream;

// Chooses the list's item of that name (the first one, should the settings file list it
// twice). False when the list has no such item.
bool Choose(forms::ComboBox& list, const std::string& name) {
    const auto& items = list.Items();
    const auto found = std::find(items.begin(), items.end(), name);
    if (found == items.end()) return false;
    list.SetListIndex(static_cast<int>(found - items.begin()));
    return true;
}

// A server by its list name, or by the part of it the command line shows.
bool ChooseServer(forms::ComboBox& list, const std::string& name) {
    const auto found = rules::FindServer(list.Items(), name);
    if (found) list.SetListIndex(static_cast<int>(*found));
    return found.has_value();
}

// The list's items, one a line; servers only as far as their first blank, since an entry
// spaced with tabs or ideographic spaces is whole in the list, password included.
std::string Listed(const forms::ComboBox& list, bool servers) {
    std::string names;
    for (const auto& item : list.Items())
        names += "  " + Visible(servers ? rules::ServerShownName(item) : item) + "\n";
    return names;
}

// Puts the options' values into the window's fields, as a user would type and choose them.
// A server or title the settings file does not list is the command line's fault.
std::optional<std::string> FillFields(ui::frmVornack& form, const CommandLine& line) {
    if (line.server && !ChooseServer(form.cboServer, *line.server))
        return "設定ファイルにないサーバーです: " + Visible(*line.server) +
               " (not a server of the settings file)\n" + Listed(form.cboServer, true);
    if (line.title && !Choose(form.cboTitle, *line.title))
        return "設定ファイルにないページタイトルです: " + Visible(*line.title) +
               " (not a title of the settings file)\n" + Listed(form.cboTitle, false);
    const std::pair<const std::optional<std::string>&, forms::TextBox&> texts[] = {
        {line.source, form.txtSrcPath},        {line.pages, form.txtMakePageNum},
        {line.perPage, form.txtPagePerSrcNum}, {line.target, form.txtReplaceTarget},
        {line.replace, form.txtReplaceText},
    };
    for (const auto& [value, field] : texts)
        if (value) field.SetText(*value);
    return std::nullopt;
}

// Why the settings file beside the program cannot be the job's, naming the file; empty when
// it can be read. The start would read a missing or unreadable file as an empty one and the
// job would then be refused for a field that is only blank.
std::optional<std::string> SettingsFileProblem() {
    const std::string path = settings::IniFileAccess::GetIniPath();
    const platform::WholeFileRead read = platform::ReadWholeFile(path);
    if (read.exists && read.error == 0) return std::nullopt;
    const int error = read.exists ? read.error : platform::os_error::kNotFound;
    return "設定ファイルを読めません (cannot read the settings file): " + path + "\n" +
           platform::DescribeOsError(error) + "\n";
}

int ExitStatusOf(const std::optional<builder::WriteOutOutcome>& ended) {
    switch (ended ? ended->outcome : builder::Outcome::NotStarted) {
        case builder::Outcome::Done:
            return kExitSuccess;
        case builder::Outcome::Refused:
        case builder::Outcome::Unconfirmed:
            return kExitRefused;
        case builder::Outcome::Busy:
            return kExitBusy;
        case builder::Outcome::Failed:
        case builder::Outcome::NotStarted:
            break;
    }
    return kExitWriteFailure;
}

// The server and its output folder as the log names them: up to the list name's first blank,
// as the list of servers shows them. An entry spaced with tabs or ideographic spaces has its
// whole text, password included, as its list name and folder; the log then shows the folder
// cut there, marked with "…".
std::pair<std::string, std::string> ShownServerAndFolder(const std::string& listName) {
    const std::string shown(rules::ServerShownName(listName));
    if (shown == listName) return {shown, builder::OutputFolderPath(listName)};
    return {shown, builder::OutputFolderPath(shown) + "…"};
}

// A seed no other run is likely to have, from the system's random source: runs a scheduler
// starts at the same second each night must not draw the same pages.
std::uint32_t FreshSeed() { return std::random_device{}(); }

// The log is appended blindly: it must not go into a file the program reads (its settings,
// the template every page is made from), whose next run would read it.
bool IsProgramsOwnFile(const std::string& path) {
    return platform::IsSameFile(path, settings::IniFileAccess::GetIniPath()) ||
           platform::IsSameFile(path, builder::TemplatePath());
}

// Why the --log file cannot be where the job puts it, checked before it is opened: empty when
// it can (IsProgramsOwnFile was checked before the start). Not into the source folder, whose
// files the pages are made of (and, read ahead, while it grows); not into the output folder,
// which the write-out empties every night without a word.
std::optional<std::string> LogPlaceProblem(const std::string& log, ui::frmVornack& form) {
    const std::string source = form.txtSrcPath.Text();
    if (!source.empty() && builder::IsSameOrInside(log, source))
        return "ログファイルがソースフォルダの中にあります (the log file is in the source folder, "
               "whose files the pages are made of)";
    const std::string listName = form.cboServer.Text();
    if (!listName.empty() && builder::IsSameOrInside(log, builder::OutputFolderPath(listName)))
        return "ログファイルが出力フォルダの中にあります (the log file is in the output folder, "
               "which the write-out empties)";
    return std::nullopt;
}

// Refuses the --log file or opens it: 0, or the status the run ends with.
int CheckAndOpenLog(const std::string& log, ui::frmVornack& form, RunOutput& out) {
    if (const auto problem = LogPlaceProblem(log, form)) {
        out.DropLog();
        out.Error(*problem + ": " + log + "\n");
        return kExitBadCommandLine;
    }
    if (const int error = out.OpenLog()) {
        out.Error("ログファイルを開けません (cannot open the log file): " + log + "\n" +
                  platform::DescribeOsError(error) + "\n");
        return kExitBadCommandLine;
    }
    return 0;
}

// What the window's refusal leaves out and a command line needs: the option that chooses a
// server or title the settings file does not, and the source folder a source refusal means.
std::string RefusalHint(const std::string& refusal, const CommandLine& line, ui::frmVornack& form) {
    if (refusal == builder::msg::kNoServer && !line.server)
        return "--server サーバー名 で選べます (choose one with --server NAME)\n" +
               Listed(form.cboServer, true);
    if (refusal == builder::msg::kNoTitle && !line.title)
        return "--title ページタイトル で選べます (choose one with --title TITLE)\n" +
               Listed(form.cboTitle, false);
    if (refusal == builder::msg::kNoSrcPath || refusal == builder::msg::kNoSources)
        return "ソースフォルダ (source folder): " + Quoted(form.txtSrcPath.Text()) + "\n";
    return {};
}

// A scheduled run's page loop must end, and must make pages: more sources to a page than
// this takes minutes before its first page shows any progress.
constexpr std::int32_t kMostSourcesPerPage = 10000;

// Why a job the window would run is refused from the command line, with the window's own
// refusal text; empty when it is not. A page count that rounds to no page (0.4) would empty
// the output folder and leave an index of nothing on the site every night.
std::optional<std::string> UnattendedJobProblem(ui::frmVornack& form) {
    const auto plan = builder::PlanPageCount(form.txtMakePageNum.Text());
    if (plan && plan->pages == 0)
        return std::string(builder::msg::kBadMakePageNum) +
               "\n0 ページになります (no page would be made): " + form.txtMakePageNum.Text() + "\n";
    const auto perPage = builder::SourcesPerPage(form.txtPagePerSrcNum.Text());
    if (perPage && *perPage > kMostSourcesPerPage)
        return std::string(builder::msg::kBadPagePerSrcNum) + "\n1 ページに " +
               std::to_string(kMostSourcesPerPage) + " ソースまで (at most " +
               std::to_string(kMostSourcesPerPage) + " sources a page)\n";
    return std::nullopt;
}

// Writes the run's last line. With --quiet a run that did not finish still says so.
void EndRun(RunOutput& out, builder::Outcome outcome, std::chrono::steady_clock::time_point started,
            RunEnd end = {}) {
    end.outcome = outcome;
    end.when = platform::LocalTimeIso8601();
    end.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    out.LastLine(LastLogLine(end), end.outcome != builder::Outcome::Done && out.Quiet());
}

}  // namespace

int RunWriteOut(const CommandLine& line, RunOutput& out) {
    const auto started = std::chrono::steady_clock::now();
    const TerminationRecord endedBySignal(out, started);
    if (const auto problem = SettingsFileProblem()) {
        out.Error(*problem);
        // Dated, so that a night that never started still shows in a log of many nights.
        EndRun(out, builder::Outcome::Refused, started);
        return kExitRefused;
    }
    ConsoleMessageBoxes boxes(line.yes, out);
    NoEvents events;
    NoDesktop shell;
    // The seed is written to the log, so that --seed with it makes the run's bytes again.
    const std::uint32_t seed = line.seed ? *line.seed : FreshSeed();
    // No server's folder is made at the start: only the write-out makes the chosen one's,
    // once the job is accepted.
    ui::frmVornack form({.boxes = boxes,
                         .events = events,
                         .shell = shell,
                         .options = {.pickSeed = [seed] { return seed; },
                                     .serverFolders = settings::ServerFolders::Leave}});
    form.Load();
    if (form.LoadFailed()) {
        EndRun(out, builder::Outcome::Failed, started);
        return kExitWriteFailure;
    }
    if (const auto fault = FillFields(form, line)) {
        out.Error(*fault);
        EndRun(out, builder::Outcome::NotStarted, started);
        return kExitBadCommandLine;
    }
    if (line.log) {
        if (const int status = CheckAndOpenLog(*line.log, form, out)) {
            EndRun(out, builder::Outcome::NotStarted, started);
            return status;
        }
    }
    form.Fso().SeedTempNames(seed);

    const std::string listName = form.cboServer.Text();
    const auto [server, outputFolder] = ShownServerAndFolder(listName);
    if (server != listName) out.Hide(listName, server + "…");
    out.Log(FirstLogLine({.when = platform::LocalTimeIso8601(),
                          .version = winutil::GetVersion(),
                          .server = server,
                          .title = form.cboTitle.Text(),
                          .pages = form.txtMakePageNum.Text(),
                          .perPage = form.txtPagePerSrcNum.Text(),
                          .seed = seed,
                          .outputFolder = outputFolder}));
    if (const auto problem = UnattendedJobProblem(form)) {
        out.Error(*problem);
        EndRun(out, builder::Outcome::Refused, started);
        return kExitRefused;
    }
    RunEnd end;
    {
        LogEcho echo(form.txtLog, form.pbrProcess, out);
        form.mnuGo.RaiseClick();
        end.warnings = echo.Warnings();
        end.repeatedWarnings = echo.RepeatedWarnings();
    }
    const auto& ended = form.LastWriteOut();
    if (ended && ended->outcome == builder::Outcome::Refused)
        if (const std::string hint = RefusalHint(ended->text, line, form); !hint.empty())
            out.Error(hint);
    end.pagesWritten = ended ? ended->pagesWritten : 0;
    EndRun(out, ended ? ended->outcome : builder::Outcome::NotStarted, started, end);
    const int status = ExitStatusOf(ended);
    return status == kExitSuccess && out.TextLost() ? kExitLogLost : status;
}

int RunCommandLine(const std::vector<std::string>& args, bool slashForms,
                   const TransferMaker& makeTransfer) {
    const ParsedCommandLine parsed = ParseCommandLine(args, slashForms);
    RunOutput out(parsed.line && parsed.line->quiet);
    if (!parsed.line) {
        const std::string help = slashForms ? "/help" : "--help";
        out.Error(parsed.error + "\n" + help + " で使い方を表示します (" + help +
                  " lists the options)\n");
        return kExitBadCommandLine;
    }
    if (parsed.line->help) {
        platform::WriteToConsole(ConsoleStream::Output, HelpText(slashForms));
        return kExitSuccess;
    }
    if (parsed.line->version) {
        platform::WriteToConsole(ConsoleStream::Output,
                                 std::string(kProgramName) + " " + winutil::GetVersion() + "\n");
        return kExitSuccess;
    }
    if (parsed.line->log) {
        if (IsProgramsOwnFile(*parsed.line->log)) {
            out.Error(
                "ログファイルがプログラムの読むファイルです (the log file is one the program "
                "reads): " +
                *parsed.line->log + "\n");
            return kExitBadCommandLine;
        }
        out.HoldLog(*parsed.line->log);
    }
    return RunJob(*parsed.line, out, makeTransfer);
}

}  // namespace vb::cli
