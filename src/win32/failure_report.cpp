#include "win32/failure_report.h"

#include <windows.h>

#include "platform/app_title.h"
#include "platform/wide_text.h"

namespace vb::win32view {

void ReportFailure(const std::string& description) {
    MessageBoxW(GetActiveWindow(), platform::WideFromUtf8(description).c_str(),
                platform::WideFromUtf8(platform::kAppTitle).c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace vb::win32view
