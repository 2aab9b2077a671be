#include "win32/failure_report.h"

#include <windows.h>

#include "forms/guarded_call.h"
#include "platform/app_title.h"
#include "platform/wide_text.h"

namespace vb::win32view {

namespace {

void ReportFailure(const std::string& description) {
    MessageBoxW(GetActiveWindow(), platform::WideFromUtf8(description).c_str(),
                platform::WideFromUtf8(platform::kAppTitle).c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace

void RunGuarded(const std::function<void()>& handler) {
    forms::RunGuarded(handler, ReportFailure, platform::kUnexpectedFailure);
}

}  // namespace vb::win32view
