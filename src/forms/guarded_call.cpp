#include "forms/guarded_call.h"

#include <exception>

namespace vb::forms {

void RunGuarded(const std::function<void()>& handler, FailureReporter report,
                const char* unexpected) {
    try {
        handler();
    } catch (const std::exception& e) {
        report(e.what());
    } catch (...) {
        report(unexpected);
    }
}

}  // namespace vb::forms
