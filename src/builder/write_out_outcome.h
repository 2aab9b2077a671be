#pragma once

#include <cstdint>
#include <string>

namespace vb::builder {

// How a write-out ended. The window has shown it already, in a box, by the time the caller
// sees it; the command line turns it into the process's exit status.
enum class Outcome {
    Done,         // every page and the index were written
    Refused,      // the job was refused: text is the warning shown
    Unconfirmed,  // the emptying of the output folder was not confirmed; nothing was touched
    Busy,         // another write-out holds the server's output folder: text is the warning
    Failed,       // a step failed: text is the failure shown
    NotStarted,   // a write-out was running already (this one came during its yields)
};

struct WriteOutOutcome {
    Outcome outcome = Outcome::NotStarted;
    std::string text;
    std::int32_t pagesWritten = 0;  // pages written before the run ended, the index not counted
};

}  // namespace vb::builder
