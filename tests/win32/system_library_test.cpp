// A DLL planted beside the program (as in a downloads folder) is never loaded in place of
// Windows' own.
#include "win32/system_library.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace vb::win32view {
namespace {

std::wstring ModulePath(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    return path;
}

TEST(SystemLibraryTest, ADllBesideTheProgramIsNeverTheOneLoaded) {
    std::wstring planted = ModulePath(nullptr);
    planted.resize(planted.find_last_of(L'\\') + 1);
    planted += L"atl.dll";
    HANDLE file =
        CreateFileW(planted.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "MZ", 2, &written, nullptr);  // no DLL: loading it would fail
    CloseHandle(file);

    HMODULE atl = LoadSystemLibrary(L"atl.dll");
    DeleteFileW(planted.c_str());
    ASSERT_NE(atl, nullptr);
    wchar_t system[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(_wcsnicmp(ModulePath(atl).c_str(), system, length), 0) << ModulePath(atl).c_str();
}

}  // namespace
}  // namespace vb::win32view
