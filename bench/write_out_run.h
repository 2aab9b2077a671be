#pragma once

#include <cstdint>
#include <functional>

#include "bench_services.h"
#include "corpus.h"
#include "ui/frm_vornack.h"

// One timed write-out, run the way the menu command runs it.
namespace vb::bench {

struct WriteOutOutcome {
    double Seconds = 0;
    double CpuSeconds = 0;
    double WaitSeconds = 0;  // ready to run but waiting for a processor
    long IdleKiB = 0;        // resident memory of the started window just before the write-out
    long PeakKiB = 0;        // peak resident memory of the process up to the write-out's end
    long long Warnings = 0;
    char Problem[256] = {};  // empty when the run ended as it should
};

// Times the write-out of a started window (made with the seed as its pick seed): seeds its
// page names, clicks
// 書き出し (the confirmation is answered Yes by boxes), runs afterClick inside the timing
// and then checks what the window shows: the log's first and last lines, that every
// warning names a source without the target word, the progress bar at its maximum and no
// box but the confirmation.
WriteOutOutcome TimeWriteOut(ui::frmVornack& window, const YesMessageBoxes& boxes,
                             const Corpus& corpus, std::uint32_t seed,
                             const std::function<void()>& afterClick = {});

// A window without a view, started from the settings file, then TimeWriteOut.
WriteOutOutcome RunHeadless(const Corpus& corpus, std::uint32_t seed);

}  // namespace vb::bench
