#include "win32/failure_report.h"

#include <windows.h>

#include "platform/app_title.h"
#include "win32/wide_text.h"

namespace vb::win32view {

void ReportFailure(const std::string& description) {
    MessageBoxW(GetActiveWindow(), Widen(description).c_str(), Widen(platform::kAppTitle).c_str(),
                MB_OK | MB_ICONERROR);
}

}  // namespace vb::win32view
