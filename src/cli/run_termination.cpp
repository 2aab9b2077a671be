#include "cli/run_termination.h"

#include <cmath>
#include <mutex>

#include "cli/run_lines.h"
#include "platform/local_clock.h"

namespace vb::cli {

namespace {

struct Run {
    RunOutput* out = nullptr;
    std::chrono::steady_clock::time_point started;
};
std::mutex gRunLock;
Run gRun;
std::atomic<bool>* gPublishStop = nullptr;  // the publish a signal stops, under gRunLock
int gPublishSignal = 0;                     // the signal that stopped it, under gRunLock

}  // namespace

TerminationRecord::TerminationRecord(RunOutput& out,
                                     std::chrono::steady_clock::time_point started) {
    const std::lock_guard lock(gRunLock);
    gRun = {&out, started};
}

TerminationRecord::~TerminationRecord() {
    const std::lock_guard lock(gRunLock);
    gRun = {};
}

PublishTermination::PublishTermination(std::atomic<bool>& stop) {
    const std::lock_guard lock(gRunLock);
    gPublishStop = &stop;
    gPublishSignal = 0;
}

PublishTermination::~PublishTermination() {
    const std::lock_guard lock(gRunLock);
    gPublishStop = nullptr;
}

int PublishTermination::Signal() const {
    const std::lock_guard lock(gRunLock);
    return gPublishSignal;
}

int RecordTermination(int signalNumber) {
    const std::lock_guard lock(gRunLock);
    if (gPublishStop && gPublishSignal == 0) {
        gPublishSignal = signalNumber;
        *gPublishStop = true;
        return -1;
    }
    if (gRun.out) {
        RunEnd end;
        end.when = platform::LocalTimeIso8601();
        end.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - gRun.started).count();
        end.pagesWritten = gRun.out->Progress();
        end.terminated = true;
        // With --quiet a run that did not finish still says so, as every other end does.
        gRun.out->LastLine(LastLogLine(end), gRun.out->Quiet());
    }
    return 128 + signalNumber;
}

}  // namespace vb::cli
