// The Windows edition's side of the write-out benchmark, run under Wine by
// vb_bench_write_out --windows: one timed step per start, with the same corpus, program
// folder and seed as the Linux run, printed as one line the Linux side reads.
//
//   vb_bench_write_out_win.exe run     PROGRAM_FOLDER SOURCE_FOLDER SEED
//   vb_bench_write_out_win.exe window  PROGRAM_FOLDER SOURCE_FOLDER SEED
//   vb_bench_write_out_win.exe floor   OUTPUT_FOLDER PLAN_FILE
//   vb_bench_write_out_win.exe reading OUTPUT_FOLDER PLAN_FILE
//
// run: the window's write-out as the program runs it (started from the settings file, the
// source folder set to the Windows path, seeded picks and names, 書き出し answered Yes).
// window: the same run in the window the program shows (the Win32 view, shown), timed from
// the click to the end of the messages the run left waiting (the log and the bar painted).
// floor: the output folder deleted, created and one file per size written with CreateFileW,
// WriteFile and CloseHandle. reading: the same, each page's sources opened by their full
// path, read whole with ReadFile and closed first, in the run's order. The plan file, made
// by the Linux side, holds the sizes, the sources' paths and the order.
//
// Output: "result WALL_S CPU_S IDLE_KIB PEAK_KIB WARNINGS" or "problem TEXT".
#include <windows.h>
// psapi.h needs the types windows.h declares.
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench_services.h"
#include "platform/desktop_shell.h"
#include "platform/program_folder.h"
#include "platform/wide_text.h"
#include "ui/frm_vornack.h"
#include "win32/event_pump.h"
#include "win32/form_window.h"
#include "win32/screen_binding.h"

namespace {

using vb::platform::WideFromUtf8;

double CpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto seconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               1e7;
    };
    return seconds(kernel) + seconds(user);
}

PROCESS_MEMORY_COUNTERS Memory() {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

struct Outcome {
    double Wall = 0, Cpu = 0;
    long IdleKiB = 0, PeakKiB = 0;
    long long Warnings = 0;
};

int Print(const Outcome& o) {
    std::printf("result %.3f %.3f %ld %ld %lld\n", o.Wall, o.Cpu, o.IdleKiB, o.PeakKiB, o.Warnings);
    return 0;
}

int Problem(const std::string& text) {
    std::printf("problem %s\n", text.c_str());
    return 1;
}

// Times the click on 書き出し of a loaded window; `settle` runs after the click, inside the
// time (the shown window's waiting messages).
int TimeWriteOut(vb::ui::frmVornack& window, const vb::bench::YesMessageBoxes& boxes,
                 const std::string& sourceFolder, std::uint32_t seed,
                 const std::function<void()>& settle) {
    window.txtSrcPath.SetText(sourceFolder);
    window.Fso().SeedTempNames(seed);

    Outcome o;
    o.IdleKiB = static_cast<long>(Memory().WorkingSetSize / 1024);
    const double cpu = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    window.mnuGo.RaiseClick();
    settle();
    o.Wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    o.Cpu = CpuSeconds() - cpu;
    o.PeakKiB = static_cast<long>(Memory().PeakWorkingSetSize / 1024);
    if (boxes.Texts().size() != 1) return Problem("a message box came up: " + boxes.Texts().back());
    const std::string& log = window.txtLog.Text();
    for (std::size_t at = log.find("【警報】"); at != std::string::npos;
         at = log.find("【警報】", at + 1))
        ++o.Warnings;
    if (log.size() < 2 || log.compare(log.size() - 2, 2, "\r\n") != 0 ||
        log.find("完了しますた。") == std::string::npos)
        return Problem("the log does not end with the closing line");
    return Print(o);
}

int Run(const std::string& programFolder, const std::string& sourceFolder, std::uint32_t seed) {
    using namespace vb;
    platform::SetProgramFolderForTesting(programFolder, "VornackBuilder");
    bench::YesMessageBoxes boxes;
    bench::NoEvents events;
    platform::SystemDesktopShell shell;
    ui::frmVornack window(ui::WindowServices{
        .boxes = boxes, .events = events, .shell = shell, .options = {.pickSeed = [seed] {
                                                              return seed;
                                                          }}});
    window.Form_Load();
    return TimeWriteOut(window, boxes, sourceFolder, seed, [] {});
}

// As the program's wWinMain makes its window, with the benchmark answering the confirmation.
int RunInWindow(const std::string& programFolder, const std::string& sourceFolder,
                std::uint32_t seed) {
    using namespace vb;
    platform::SetProgramFolderForTesting(programFolder, "VornackBuilder");
    OleInitialize(nullptr);
    win32view::ScreenBinding screen;
    bench::YesMessageBoxes boxes;
    win32view::Win32EventPump events;
    platform::SystemDesktopShell shell;
    ui::frmVornack form(ui::WindowServices{
        .boxes = boxes, .events = events, .shell = shell, .options = {.pickSeed = [seed] {
                                                              return seed;
                                                          }}});
    win32view::FormWindow window(form);
    win32view::SetDialogWindow(window.Handle());
    form.Load();
    window.ShowForm();
    events.ProcessEvents();
    return TimeWriteOut(form, boxes, sourceFolder, seed, [&events] { events.ProcessEvents(); });
}

struct Plan {
    std::vector<unsigned long long> Sizes;
    std::vector<std::wstring> Sources;
    int PerPage = 0;
    std::vector<unsigned> Order;
};

// "sizes N" and N sizes, "sources M" and M lines of Windows paths (UTF-8), "perpage K",
// "order C" and C indexes into the sources.
bool ReadPlan(const std::string& path, Plan& plan) {
    std::ifstream in(WideFromUtf8(path).c_str());
    std::string word;
    std::size_t n = 0;
    if (!(in >> word >> n) || word != "sizes") return false;
    plan.Sizes.resize(n);
    for (auto& size : plan.Sizes) in >> size;
    if (!(in >> word >> n) || word != "sources") return false;
    std::string line;
    std::getline(in, line);
    for (std::size_t i = 0; i < n && std::getline(in, line); ++i)
        plan.Sources.push_back(WideFromUtf8(line));
    if (plan.Sources.size() != n) return false;
    if (!(in >> word >> plan.PerPage) || word != "perpage") return false;
    if (!(in >> word >> n) || word != "order") return false;
    plan.Order.resize(n);
    for (auto& index : plan.Order) in >> index;
    return static_cast<bool>(in);
}

bool EmptyAndRemove(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((folder + L"\\" + found.cFileName).c_str());
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    return RemoveDirectoryW(folder.c_str()) != 0;
}

bool ReadWhole(const std::wstring& path, std::vector<char>& buffer) {
    const HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD got = 0;
    const bool ok = ReadFile(h, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr);
    CloseHandle(h);
    return ok;
}

int Floor(const std::string& outputFolder, const std::string& planFile, bool reading) {
    Plan plan;
    if (!ReadPlan(planFile, plan)) return Problem("cannot read the plan " + planFile);
    unsigned long long largest = 0;
    for (auto size : plan.Sizes) largest = std::max(largest, size);
    const std::string bytes(largest, 'a');
    std::vector<char> readBuffer(1 << 20);  // larger than any source of the benchmark
    const std::wstring folder = WideFromUtf8(outputFolder);

    Outcome o;
    o.IdleKiB = static_cast<long>(Memory().WorkingSetSize / 1024);
    const double cpu = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    EmptyAndRemove(folder);
    if (!CreateDirectoryW(folder.c_str(), nullptr)) return Problem("cannot create the folder");
    std::size_t slot = 0;
    wchar_t name[32];
    for (std::size_t i = 0; i < plan.Sizes.size(); ++i) {
        for (int k = 0; reading && k < plan.PerPage && slot < plan.Order.size(); ++k, ++slot)
            if (!ReadWhole(plan.Sources[plan.Order[slot]], readBuffer))
                return Problem("cannot read a source");
        std::swprintf(name, 32, L"\\f%07zu.html", i);
        const HANDLE h = CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        const bool ok =
            h != INVALID_HANDLE_VALUE &&
            WriteFile(h, bytes.data(), static_cast<DWORD>(plan.Sizes[i]), &written, nullptr) &&
            written == plan.Sizes[i];
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        if (!ok) return Problem("cannot write a file");
    }
    o.Wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    o.Cpu = CpuSeconds() - cpu;
    o.PeakKiB = static_cast<long>(Memory().PeakWorkingSetSize / 1024);
    return Print(o);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(vb::platform::Utf8FromWide(argv[i]));
    try {
        if (args.size() == 4 && args[0] == "run")
            return Run(args[1], args[2], static_cast<std::uint32_t>(std::stoul(args[3])));
        if (args.size() == 4 && args[0] == "window")
            return RunInWindow(args[1], args[2], static_cast<std::uint32_t>(std::stoul(args[3])));
        if (args.size() == 3 && (args[0] == "floor" || args[0] == "reading"))
            return Floor(args[1], args[2], args[0] == "reading");
    } catch (const std::exception& e) {
        return Problem(e.what());
    }
    std::fputs(
        "usage: vb_bench_write_out_win.exe run|window PROGRAM SOURCES SEED | floor|reading "
        "OUTPUT PLAN\n",
        stderr);
    return 2;
}
