#pragma once

#include <cstdint>

#include "corpus.h"
#include "write_out_run.h"

namespace vb::bench {

// The write-out through the window as the program shows it: a QApplication (on Qt's
// offscreen platform unless QT_QPA_PLATFORM says otherwise), frmVornack drawn by the Qt
// view, started from the settings file, with the benchmark answering the confirmation.
// The time runs from the click to the end of the events the run left waiting (the log
// and the progress bar drawn). For a child process: the Qt objects are left to its exit.
WriteOutOutcome RunInWindow(const Corpus& corpus, std::uint32_t seed);

}  // namespace vb::bench
