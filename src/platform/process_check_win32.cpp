#include <windows.h>

#include "platform/process_check.h"
#include "platform/wide_text.h"

namespace vb::platform {

// OpenProcess answers ERROR_INVALID_PARAMETER for an id no process has (Windows does, and
// Wine too; the OpenProcess page on learn.microsoft.com names that answer for the idle
// process, id 0, which is why 0 is never taken as gone); any other refusal (ERROR_ACCESS_DENIED
// for the System process, the CSRSS processes or another user's) is a process that runs. A
// process that has ended but is still held open by someone is signalled, and gone; a wait
// that fails is not.
bool ProcessIsGone(std::uint64_t id) {
    if (id == 0 || id > MAXDWORD) return false;
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(id));
    if (!process) return GetLastError() == ERROR_INVALID_PARAMETER;
    const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

std::uint64_t ThisProcessId() { return GetCurrentProcessId(); }

// The machine's name: two computers of one network never share it.
std::string MachineIdentity() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &size) ? Utf8FromWide(std::wstring(name, size)) : std::string();
}

}  // namespace vb::platform
