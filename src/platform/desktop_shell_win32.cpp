#include <windows.h>
// clang-format off
#include <objbase.h>
#include <shellapi.h>
// clang-format on

#include <string>

#include "platform/desktop_shell.h"
#include "platform/wide_text.h"

namespace vb::platform {

namespace {

// An absent string goes to the shell as a null pointer, not as an empty string.
struct OptionalWide {
    explicit OptionalWide(const std::optional<std::string>& s) : present(s.has_value()) {
        if (present) text = WideFromUtf8(*s);
    }
    const wchar_t* get() const { return present ? text.c_str() : nullptr; }
    bool present;
    std::wstring text;
};

// The shell may hand a target to a COM handler, so COM is set up before any ShellExecuteW:
// once per process, on the thread of the first call. That is the window's thread, whose
// COM the entry point's OleInitialize set up already; there this only adds a reference.
void SetUpCom() {
    static const HRESULT com =
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    (void)com;
}

int ShellResult(HINSTANCE h) { return static_cast<int>(reinterpret_cast<INT_PTR>(h)); }

// The Windows folder of the system's own programs ("C:\\Windows").
std::wstring WindowsFolder() {
    std::wstring folder(MAX_PATH, L'\0');
    const UINT n = GetWindowsDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    folder.resize(n < folder.size() ? n : 0);
    return folder;
}

// Starts File Explorer on one target, given as a single quoted argument: never through a
// command shell, and without waiting for it.
bool StartExplorer(const std::string& target) {
    const std::wstring program = WindowsFolder() + L"\\explorer.exe";
    // A path holds no quote characters on Windows; an address may, and loses them here.
    std::wstring argument = WideFromUtf8(target);
    std::erase(argument, L'"');
    std::wstring commandLine = L"explorer.exe \"" + argument + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace

int SystemDesktopShell::Execute(const std::optional<std::string>& operation,
                                const std::string& file,
                                const std::optional<std::string>& parameters,
                                const std::optional<std::string>& directory, int show) {
    SetUpCom();
    const OptionalWide op(operation), params(parameters), dir(directory);
    return ShellResult(ShellExecuteW(GetDesktopWindow(), op.get(), WideFromUtf8(file).c_str(),
                                     params.get(), dir.get(), show));
}

bool SystemDesktopShell::OpenFolder(const std::string& folder) {
    const DWORD attributes = GetFileAttributesW(WidePathFromUtf8(folder).c_str());
    if (folder.empty() || attributes == INVALID_FILE_ATTRIBUTES ||
        !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    return StartExplorer(folder);
}

// File Explorer shows ftp:// folders, which today's browsers no longer open; every other
// address goes to the handler the user chose for it.
bool SystemDesktopShell::OpenAddress(const std::string& address) {
    if (address.empty()) return false;
    if (address.rfind("ftp:", 0) == 0) return StartExplorer(address);
    SetUpCom();
    return ShellResult(ShellExecuteW(nullptr, L"open", WideFromUtf8(address).c_str(), nullptr,
                                     nullptr, SW_SHOWNORMAL)) >= kShellFirstSuccess;
}

}  // namespace vb::platform
