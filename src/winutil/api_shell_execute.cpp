#include "winutil/api_shell_execute.h"

#include "platform/desktop_shell.h"

namespace vb::winutil {

bool ExecuteFile(platform::DesktopShell& shell, const std::string& file, std::int32_t show,
                 const std::optional<std::string>& operation,
                 const std::optional<std::string>& parameters,
                 const std::optional<std::string>& directory) {
    const int result = shell.Execute(operation, file, parameters, directory, show);
    return result >= platform::kShellFirstSuccess;
}

}  // namespace vb::winutil
