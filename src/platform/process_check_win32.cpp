#include <windows.h>

#include "platform/process_check.h"

namespace vb::platform {

// OpenProcess answers ERROR_INVALID_PARAMETER for an id no process has; any other refusal
// (ERROR_ACCESS_DENIED for a process of another user or a protected one) is a process that
// runs. A process that has ended but is still held open by someone is signalled, and gone.
// The id 0 is the system's idle process, which OpenProcess also refuses with
// ERROR_INVALID_PARAMETER.
bool ProcessIsGone(std::uint64_t id) {
    if (id == 0 || id > MAXDWORD) return false;
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(id));
    if (!process) return GetLastError() == ERROR_INVALID_PARAMETER;
    const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

}  // namespace vb::platform
