#include "platform/save/save_steps.h"

#include <utility>

namespace vb::platform {

namespace {

StepFault& Fault() {
    static StepFault fault;
    return fault;
}

}  // namespace

void SetStepFaultForTesting(StepFault fault) { Fault() = std::move(fault); }

int InjectedFault(std::string_view step) { return Fault() ? Fault()(step) : 0; }

}  // namespace vb::platform
