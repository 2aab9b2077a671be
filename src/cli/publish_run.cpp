#include "cli/publish_run.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <optional>

#include "builder/output_folder.h"
#include "cli/console_boxes.h"
#include "cli/headless_write_out.h"
#include "cli/no_window.h"
#include "cli/run_lines.h"
#include "cli/run_termination.h"
#include "platform/desktop_shell.h"
#include "platform/local_clock.h"
#include "platform/save/whole_file.h"
#include "platform/system_error.h"
#include "publish/publish_settings.h"
#include "rules/server_entry.h"
#include "settings/ini_setting.h"
#include "ui/frm_vornack.h"
#include "winutil/fun_easy_version.h"

namespace vb::cli {

namespace {

// The stop of a publish that a signal asked for: process-wide, since a signal handler can
// reach nothing else, and lock-free, as a handler may only touch such an atomic.
std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void RequestStop(int signal) {
    stopRequested = true;
    std::signal(signal, SIG_DFL);  // a second one ends the program at once
}

// While it lives, Ctrl+C and a termination request stop the publish after the steps under
// way, so that the manifest and the log's last line are written; the site stays whole.
class StopOnSignals {
  public:
    StopOnSignals()
        : interrupt_(std::signal(SIGINT, RequestStop)),
          terminate_(std::signal(SIGTERM, RequestStop)) {
        stopRequested = false;
    }
    ~StopOnSignals() {
        std::signal(SIGINT, interrupt_);
        std::signal(SIGTERM, terminate_);
    }
    StopOnSignals(const StopOnSignals&) = delete;
    StopOnSignals& operator=(const StopOnSignals&) = delete;

  private:
    void (*interrupt_)(int);
    void (*terminate_)(int);
};

// The publish's lines go to the log as they come (Publish calls one at a time).
class LogProgress : public publish::PublishProgress {
  public:
    explicit LogProgress(RunOutput& out) : out_(out) {}
    void Line(const std::string& text) override { out_.Log(text + "\n"); }
    void Files(std::size_t, std::size_t) override {}

  private:
    RunOutput& out_;
};

// What the publish needs of the settings, or why it cannot start (printed, with the status).
struct Chosen {
    publish::PublishJob job;
    std::string shownServer;
};

// With openLog, the --log file opens once its place is checked.
std::optional<Chosen> ChooseJob(const CommandLine& line, RunOutput& out, int& status,
                                bool openLog) {
    status = kExitRefused;
    const std::string iniPath = settings::IniFileAccess::GetIniPath();
    const platform::WholeFileRead read = platform::ReadWholeFile(iniPath);
    if (!read.exists || read.error) {
        out.Error(
            "設定ファイルを読めません (cannot read the settings file): " + iniPath + "\n" +
            platform::DescribeOsError(read.exists ? read.error : platform::os_error::kNotFound) +
            "\n");
        return std::nullopt;
    }
    ConsoleMessageBoxes boxes(false, out);
    NoEvents events;
    NoDesktop shell;
    // The window's own load chooses the server as a write-out would; it never saves.
    ui::frmVornack form({.boxes = boxes,
                         .events = events,
                         .shell = shell,
                         .options = {.serverFolders = settings::ServerFolders::Leave}});
    form.Load();
    if (form.LoadFailed()) return std::nullopt;
    if (line.server) {
        const auto found = rules::FindServer(form.cboServer.Items(), *line.server);
        if (!found) {
            status = kExitBadCommandLine;
            out.Error("設定ファイルにないサーバーです: " + *line.server +
                      " (not a server of the settings file)\n");
            return std::nullopt;
        }
        form.cboServer.SetListIndex(static_cast<int>(*found));
    }
    const int index = form.cboServer.ListIndex();
    if (index < 0) {
        out.Error("公開するサーバーがありません (no server to publish to)\n");
        return std::nullopt;
    }
    const std::string listName = form.cboServer.Text();
    settings::IniFileAccess ini(boxes);
    std::string entry, error;
    ini.GetIni(settings::kSettingSection, entry, "Server" + std::to_string(index + 1));
    auto job = publish::PublishJobOf(ini, entry, builder::OutputFolderPath(listName), error);
    if (!job) {
        out.Error(Visible(error) + "\n");  // it quotes the refused value as written
        return std::nullopt;
    }
    job->dryRun = line.dryRun;
    Chosen chosen{std::move(*job), listName};
    // What the log file holds would go to the server with the pages.
    if (line.log && builder::IsSameOrInside(*line.log, chosen.job.outputFolder)) {
        status = kExitBadCommandLine;
        out.DropLog();
        out.Error(
            "ログファイルが出力フォルダの中にあります (the log file is in the output folder, "
            "which the publish sends): " +
            *line.log + "\n");
        return std::nullopt;
    }
    // Its place checked, the log opens (after a write-out it is open already).
    if (const int failure = openLog ? out.OpenLog() : 0) {
        status = kExitBadCommandLine;
        out.Error("ログファイルを開けません (cannot open the log file): " + *line.log + "\n" +
                  platform::DescribeOsError(failure) + "\n");
        return std::nullopt;
    }
    return chosen;
}

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", seconds);
    return text;
}

}  // namespace

std::string_view PublishOutcomeName(publish::PublishResult result) {
    using publish::PublishResult;
    switch (result) {
        case PublishResult::Done:
            return "done";
        case PublishResult::Refused:
            return "refused";
        case PublishResult::Busy:
            return "busy";
        case PublishResult::CannotReach:
            return "cannot-reach";
        case PublishResult::LoginRefused:
            return "login-refused";
        case PublishResult::NotSecure:
            return "not-secure";
        case PublishResult::CutOff:
            return "cut-off";
        case PublishResult::Failed:
            return "failed";
        case PublishResult::Stopped:
            break;
    }
    return "stopped";
}

int PublishExitStatus(publish::PublishResult result) {
    using publish::PublishResult;
    switch (result) {
        case PublishResult::Done:
            return kExitSuccess;
        case PublishResult::Refused:
            return kExitRefused;
        case PublishResult::Busy:
        case PublishResult::CutOff:
            return kExitBusy;
        case PublishResult::CannotReach:
            return kExitCannotReach;
        case PublishResult::LoginRefused:
            return kExitLoginRefused;
        case PublishResult::NotSecure:
            return kExitNotSecure;
        case PublishResult::Stopped:
            return kExitInterrupted;
        case PublishResult::Failed:
            break;
    }
    return kExitWriteFailure;
}

std::string PublishFirstLine(const PublishStart& s) {
    return s.when + " " + LoggedName() + " " + s.version +
           " 公開開始 (publish) server=" + Quoted(s.server) + " folder=" + Quoted(s.remoteFolder) +
           " protocol=" + s.protocol + " connections=" + std::to_string(s.connections) +
           " dry-run=" + (s.dryRun ? "yes" : "no") + " output=" + Quoted(s.outputFolder) + "\n";
}

std::string PublishLastLine(const std::string& when, const publish::PublishReport& r) {
    return when + " " + LoggedName() + " 公開終了 (publish end) sent=" + std::to_string(r.sent) +
           " renamed=" + std::to_string(r.renamed) + " deleted=" + std::to_string(r.deleted) +
           " kept=" + std::to_string(r.kept) + " bytes=" + std::to_string(r.bytes) +
           " seconds=" + Seconds(r.seconds) + " folder=" + Quoted(r.remoteFolder) +
           " outcome=" + std::string(PublishOutcomeName(r.result)) + "\n";
}

namespace {

// A publish refused before it began: its last line, dated, so that a night that never
// started still shows in a log of many nights.
int Refused(RunOutput& out, int status) {
    out.LastLine(PublishLastLine(platform::LocalTimeIso8601(), {}), true);
    return status;
}

// The publish of the job chosen, its log lines and its status.
int PublishChosen(const Chosen& chosen, RunOutput& out, publish::Transfer& transfer) {
    publish::PublishReport report;
    int stoppedBy = 0;  // the signal the entry point's watcher stopped the publish for
    const publish::PublishJob& job = chosen.job;
    out.Log(
        PublishFirstLine({platform::LocalTimeIso8601(), winutil::GetVersion(), chosen.shownServer,
                          job.remoteFolder, publish::ProtocolName(job.endpoint.protocol),
                          job.connections, job.dryRun, job.outputFolder}));
    LogProgress progress(out);
    {
        const StopOnSignals signals;
        const PublishTermination watched(stopRequested);
        report = publish::Publish(job, transfer, progress, stopRequested);
        stoppedBy = watched.Signal();
    }
    if (report.result == publish::PublishResult::NotSecure && !report.pin.empty()) {
        out.Error("信頼されていない証明書です (the certificate is not trusted): " +
                  report.certificateNames + "\n" + "信頼するなら、設定ファイルの [" +
                  publish::PublishSection(job.serverName) +
                  "] に次の行を加えてください (to trust it, add this line to that section):\n"
                  "Certificate=" +
                  report.pin + "\n");
    } else if (report.result != publish::PublishResult::Done) {
        out.Error(report.text + "\n");
    }
    const std::string last = PublishLastLine(platform::LocalTimeIso8601(), report);
    out.LastLine(last, report.result != publish::PublishResult::Done && out.Quiet());
    int status = PublishExitStatus(report.result);
    if (report.result == publish::PublishResult::Stopped && stoppedBy != 0)
        status = 128 + stoppedBy;
    return status == kExitSuccess && out.TextLost() ? kExitLogLost : status;
}

}  // namespace

int RunPublish(const CommandLine& line, RunOutput& out, publish::Transfer& transfer) {
    int status = kExitRefused;
    const std::optional<Chosen> chosen = ChooseJob(line, out, status, true);
    return chosen ? PublishChosen(*chosen, out, transfer) : Refused(out, status);
}

int RunJob(const CommandLine& line, RunOutput& out, const TransferMaker& makeTransfer) {
    std::optional<Chosen> chosen;
    if (line.writeOut) {
        // The publish's settings are read before the write-out replaces the pages: a bad
        // [Publish] value refuses the run while the pages and the site still match. The job
        // chosen then is the one published (the write-out changes no setting, and its log
        // is open by then).
        int refused = kExitRefused;
        if (line.publish && makeTransfer && !(chosen = ChooseJob(line, out, refused, false)))
            return Refused(out, refused);
        const int status = RunWriteOut(line, out);
        if (status != kExitSuccess || !line.publish) return status;
        out.BeginNextPart();
    }
    const std::unique_ptr<publish::Transfer> transfer = makeTransfer ? makeTransfer() : nullptr;
    if (!transfer) {
        out.Error("この実行ファイルはサーバーへ公開できません (this build cannot publish)\n");
        return kExitCannotReach;
    }
    return chosen ? PublishChosen(*chosen, out, *transfer) : RunPublish(line, out, *transfer);
}

}  // namespace vb::cli
