// VornackBuilder.com: the console companion of VornackBuilder.exe. The .exe is a GUI program,
// which a command prompt or PowerShell starts without waiting for it. Typed without its
// extension, "VornackBuilder" finds this console program first (.COM comes before .EXE in
// PATHEXT): it starts VornackBuilder.exe beside it with the same arguments and the same
// standard handles, waits for it and returns its exit status, so the shell shows the log
// as the run goes and gets the status when the run ends.
#include <windows.h>

#include <string>

namespace {

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

}  // namespace

int wmain() {
    const std::wstring program = ProgramBeside();
    std::wstring commandLine = L"\"" + program + L"\"" + ArgumentsAsTyped();

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = Inheritable(STD_INPUT_HANDLE);
    startup.hStdOutput = Inheritable(STD_OUTPUT_HANDLE);
    startup.hStdError = Inheritable(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &startup, &process)) {
        const std::wstring text =
            L"VornackBuilder.exe を起動できません (cannot start " + program + L")\n";
        DWORD written = 0;
        WriteConsoleW(GetStdHandle(STD_ERROR_HANDLE), text.c_str(), static_cast<DWORD>(text.size()),
                      &written, nullptr);
        return 1;
    }
    // Ctrl+C reaches the program too (it shares this console) and ends it; this one waits
    // for that end and returns its status.
    SetConsoleCtrlHandler(nullptr, TRUE);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(status);
}
