#pragma once

#include <windows.h>

namespace vb::win32view {

// Loads one of Windows' own DLLs from the system folder only, its own dependencies too. The
// program runs from wherever its user unpacked it (a downloads folder among others), and a
// DLL of the same name lying beside it must never be the one loaded. Null on failure.
HMODULE LoadSystemLibrary(const wchar_t* name);

}  // namespace vb::win32view
