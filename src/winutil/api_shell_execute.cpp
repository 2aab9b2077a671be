#include "winutil/api_shell_execute.h"

#include "platform/desktop_shell.h"

namespace vb::winutil {

namespace {
// The shell's results up to 32 are error codes.
constexpr int kFirstSuccessCode = 33;
}  // namespace

bool ExecuteFile(platform::DesktopShell& shell, const std::string& file, std::int32_t show,
                 const std::optional<std::string>& operation,
                 const std::optional<std::string>& parameters,
                 const std::optional<std::string>& directory) {
    const int result = shell.Execute(operation, file, parameters, directory, show);
    return result >= kFirstSuccessCode;
}

}  // namespace vb::winutil
