#pragma once

#include <functional>
#include <string_view>

// The steps of a settings save (and of the read before it), each of which the system may
// refuse: creating the temporary file, writing, flushing, renaming, removing a leftover ...
// Every step runs through Step, which a test can make fail as the system would, one step
// after another, to see that no failure at any point loses the file.
namespace vb::platform {

// A test's choice: the error number a named step fails with, or 0 to let it run.
using StepFault = std::function<int(std::string_view step)>;

// Sets the choice for the whole process; an empty one lets every step run.
void SetStepFaultForTesting(StepFault fault);

// The error number the test chose for this step, or 0.
int InjectedFault(std::string_view step);

// Runs one step unless the test's choice fails it first; returns the step's error number.
template <typename Run>
int Step(std::string_view name, Run&& run) {
    if (const int fault = InjectedFault(name)) return fault;
    return run();
}

}  // namespace vb::platform
