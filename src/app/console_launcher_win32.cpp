// VornackBuilder.com: the console companion of VornackBuilder.exe. The .exe is a GUI program,
// which a command prompt or PowerShell starts without waiting for it. Typed without its
// extension, "VornackBuilder" finds this console program first (.COM comes before .EXE in
// PATHEXT): it starts VornackBuilder.exe beside it with the same arguments and the same
// standard handles, waits for it and returns its exit status, so the shell shows the log
// as the run goes and gets the status when the run ends.
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "platform/app_title.h"
#include "platform/console.h"
#include "platform/system_error.h"
#include "platform/wide_text.h"

namespace {

using vb::cli::kExitCannotStart;
using vb::cli::kExitInterrupted;
using vb::cli::LauncherStatus;

// How long the .exe may take to stop by itself after Ctrl+C: a publish finishes the steps
// under way, which wait for a server's reply a minute at the most.
constexpr DWORD kStopGraceMilliseconds = 75 * 1000;

// Set by the console's control handler, which runs on a thread of its own. The first Ctrl+C
// sets stopEvent, a second Ctrl+C, a Ctrl+Break or the console's end sets endEvent.
std::atomic<bool> interrupted{false};
HANDLE stopEvent = nullptr;
HANDLE endEvent = nullptr;

BOOL WINAPI OnConsoleControl(DWORD event) {
    // Handled here, so that this program lives to return the run's status. The .exe, on the
    // same console, gets the same Ctrl+C: a publish stops after the steps under way, with its
    // manifest and last line written, a write-out ends where it is. The main thread waits
    // for it, and ends it where it is on anything more. When the console itself goes, the
    // system ends this program right after, and the job's closing ends the .exe.
    const bool again = interrupted.exchange(true);
    SetEvent(event == CTRL_C_EVENT && !again ? stopEvent : endEvent);
    return TRUE;
}

// A job that ends every process in it when its last handle, this program's, is closed: a
// timeout wrapper or Stop-Process that ends this program ends the run with it.
HANDLE KillOnCloseJob() {
    const HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (!job) return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        CloseHandle(job);
        return nullptr;
    }
    return job;
}
// This program's own path with ".exe" for its ".com".
std::wstring ProgramBeside() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t dot = path.find_last_of(L'.');
    return (dot == std::wstring::npos ? path : path.substr(0, dot)) + L".exe";
}

// The arguments as typed: this program's command line after its name (quoted or not).
std::wstring ArgumentsAsTyped() {
    const wchar_t* line = GetCommandLineW();
    if (*line == L'"') {
        ++line;
        while (*line && *line != L'"') ++line;
        if (*line) ++line;
    } else {
        while (*line && *line != L' ' && *line != L'\t') ++line;
    }
    return line;
}

// A copy of a standard handle that the child can inherit; null stays null.
HANDLE Inheritable(DWORD id) {
    const HANDLE h = GetStdHandle(id);
    HANDLE copy = nullptr;
    if (h == nullptr || h == INVALID_HANDLE_VALUE ||
        !DuplicateHandle(GetCurrentProcess(), h, GetCurrentProcess(), &copy, 0, TRUE,
                         DUPLICATE_SAME_ACCESS))
        return nullptr;
    return copy;
}

// Says on the error stream, redirected or not, why the .exe did not start.
int CannotStart(const std::wstring& program, DWORD error) {
    vb::platform::WriteToConsole(
        vb::platform::ConsoleStream::Error,
        std::string(vb::platform::kProgramName) + ": " + vb::platform::kProgramName +
            ".exe を起動できません (cannot start " + vb::platform::Utf8FromWide(program) + ")\n" +
            vb::platform::kProgramName + ": " +
            vb::platform::DescribeOsError(static_cast<int>(error)) + "\n");
    return kExitCannotStart;
}

// Waits for the .exe (resumed: `started`) to end; after a first Ctrl+C at most
// kStopGraceMilliseconds longer, and not at all after anything more. True when it ended by
// itself.
bool WaitForRun(HANDLE process, bool started) {
    if (!started) return false;
    const HANDLE waits[] = {process, stopEvent, endEvent};
    const DWORD woke = WaitForMultipleObjects(3, waits, FALSE, INFINITE);
    if (woke == WAIT_OBJECT_0) return true;
    if (woke != WAIT_OBJECT_0 + 1) return false;
    const HANDLE grace[] = {process, endEvent};
    return WaitForMultipleObjects(2, grace, FALSE, kStopGraceMilliseconds) == WAIT_OBJECT_0;
}

}  // namespace

int wmain() {
    // Ctrl+C is handled from before the .exe exists: one pressed while it starts must not end
    // this program alone and leave the .exe running.
    stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    endEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    const HANDLE job = KillOnCloseJob();

    const std::wstring program = ProgramBeside();
    std::wstring commandLine = L"\"" + program + L"\"" + ArgumentsAsTyped();

    // The .exe inherits the standard handles and nothing else this program may hold.
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = Inheritable(STD_INPUT_HANDLE);
    startup.StartupInfo.hStdOutput = Inheritable(STD_OUTPUT_HANDLE);
    startup.StartupInfo.hStdError = Inheritable(STD_ERROR_HANDLE);
    std::vector<HANDLE> inherited;
    for (const HANDLE h : {startup.StartupInfo.hStdInput, startup.StartupInfo.hStdOutput,
                           startup.StartupInfo.hStdError})
        if (h) inherited.push_back(h);
    SIZE_T listSize = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &listSize);
    std::vector<char> listRoom(listSize);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(listRoom.data());
    DWORD flags = CREATE_SUSPENDED;
    if (!inherited.empty() && InitializeProcThreadAttributeList(list, 1, 0, &listSize)) {
        if (UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited.data(),
                                      inherited.size() * sizeof(HANDLE), nullptr, nullptr)) {
            startup.lpAttributeList = list;
            flags |= EXTENDED_STARTUPINFO_PRESENT;
        }
    }
    PROCESS_INFORMATION process{};
    // Should the system take no list, every inheritable handle goes along rather than the
    // output being lost.
    const BOOL inherit = !inherited.empty();
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, inherit, flags,
                        nullptr, nullptr, &startup.StartupInfo, &process))
        return CannotStart(program, GetLastError());
    if (startup.lpAttributeList) DeleteProcThreadAttributeList(list);
    for (const HANDLE h : inherited) CloseHandle(h);
    // In the job before it runs a single instruction; should the job be refused (an older
    // system inside a job of its own), the run is still ended by hand on Ctrl+C.
    if (job) AssignProcessToJobObject(job, process.hProcess);
    if (!interrupted) ResumeThread(process.hThread);

    const bool endedByItself = WaitForRun(process.hProcess, !interrupted);
    if (!endedByItself) {
        // The run ends where it is; the pages written so far stay, and a publish's order
        // keeps the site whole.
        if (!job || !TerminateJobObject(job, kExitInterrupted))
            TerminateProcess(process.hProcess, kExitInterrupted);
        WaitForSingleObject(process.hProcess, INFINITE);
    }
    DWORD status = kExitCannotStart;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (job) CloseHandle(job);
    return LauncherStatus(interrupted, endedByItself, status);
}
