#include "write_out_run.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>

#include "child_process.h"

namespace vb::bench {

namespace {

constexpr std::string_view kStarted = "実行中でありんす。\r\n";
constexpr std::string_view kFinished = "完了しますた。\r\n";
constexpr std::string_view kWarnBefore = "【警報】";
constexpr std::string_view kWarnAfter = "の中に置換対象文字列がないよ！";

void SetProblem(WriteOutOutcome& outcome, const std::string& problem) {
    std::snprintf(outcome.Problem, sizeof outcome.Problem, "%s", problem.c_str());
}

// Counts the warning lines between the log's first and last line; an empty result when
// the log is not what a finished run leaves.
std::string CheckLog(std::string_view log, const Corpus& corpus, long long& warnings) {
    if (log.substr(0, kStarted.size()) != kStarted) return "the log does not start as a run";
    if (log.size() < kStarted.size() + kFinished.size() ||
        log.substr(log.size() - kFinished.size()) != kFinished)
        return "the log does not end with the closing line";
    std::string_view middle =
        log.substr(kStarted.size(), log.size() - kStarted.size() - kFinished.size());
    while (!middle.empty()) {
        const std::size_t end = middle.find("\r\n");
        if (end == std::string_view::npos) return "a log line without CR LF";
        const std::string_view line = middle.substr(0, end);
        middle.remove_prefix(end + 2);
        if (line.substr(0, kWarnBefore.size()) != kWarnBefore || line.size() < kWarnAfter.size() ||
            line.substr(line.size() - kWarnAfter.size()) != kWarnAfter)
            return "an unexpected log line: " + std::string(line);
        const std::string path(
            line.substr(kWarnBefore.size(), line.size() - kWarnBefore.size() - kWarnAfter.size()));
        if (!corpus.LackingTarget.contains(path)) return "a warning for a source with the target";
        ++warnings;
    }
    return {};
}

}  // namespace

WriteOutOutcome TimeWriteOut(ui::frmVornack& window, const YesMessageBoxes& boxes,
                             const Corpus& corpus, std::uint32_t seed,
                             const std::function<void()>& afterClick) {
    WriteOutOutcome outcome;
    window.Fso().SeedTempNames(seed);
    const std::size_t boxesBefore = boxes.Texts().size();
    outcome.IdleKiB = ResidentKiB();

    const double cpuStart = CpuSeconds();
    const double waitStart = RunQueueWaitSeconds();
    const auto start = std::chrono::steady_clock::now();
    window.mnuGo.RaiseClick();
    if (afterClick) afterClick();
    const auto end = std::chrono::steady_clock::now();
    outcome.CpuSeconds = CpuSeconds() - cpuStart;
    outcome.WaitSeconds = RunQueueWaitSeconds() - waitStart;

    outcome.PeakKiB = PeakResidentKiB();
    outcome.Seconds = std::chrono::duration<double>(end - start).count();
    if (boxes.Texts().size() != boxesBefore + 1) {
        SetProblem(outcome, "a message box came up: " + boxes.Texts().back());
        return outcome;
    }
    if (window.pbrProcess.Value() != window.pbrProcess.Max()) {
        SetProblem(outcome, "the progress bar did not reach its maximum");
        return outcome;
    }
    SetProblem(outcome, CheckLog(window.txtLog.Text(), corpus, outcome.Warnings));
    return outcome;
}

WriteOutOutcome RunHeadless(const Corpus& corpus, std::uint32_t seed) {
    YesMessageBoxes boxes;
    NoEvents events;
    platform::SystemDesktopShell shell;
    ui::frmVornack window(ui::WindowServices{
        .boxes = boxes, .events = events, .shell = shell, .options = {.pickSeed = [seed] {
                                                              return seed;
                                                          }}});
    window.Form_Load();
    return TimeWriteOut(window, boxes, corpus, seed);
}

}  // namespace vb::bench
