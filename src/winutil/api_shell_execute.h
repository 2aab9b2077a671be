#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/desktop_shell.h"

// API_ShellExecute: hands a document, a file or a web address to the desktop so that the
// program associated with it opens it.
namespace vb::winutil {

// Show command for a normal window (SW_SHOWNORMAL).
inline constexpr std::int32_t kShowNormal = 1;

// Opens file with its associated program through the desktop shell and reports whether the
// desktop accepted it.
// An absent operation, parameters or directory is passed on as absent (the default verb,
// no parameters, no working directory), never as an empty string. Shows nothing, even when
// it fails, and does not wait for the opened program.
bool ExecuteFile(platform::DesktopShell& shell, const std::string& file, std::int32_t show,
                 const std::optional<std::string>& operation = std::nullopt,
                 const std::optional<std::string>& parameters = std::nullopt,
                 const std::optional<std::string>& directory = std::nullopt);

}  // namespace vb::winutil
