#!/usr/bin/env bash
# Checks that Windows programs load only Windows' own DLLs: lists each one's imported DLLs
# (its PE import table, as objdump reads it) and fails on any DLL outside the system's that
# the programs may use. A MinGW runtime (libstdc++-6.dll, libwinpthread-1.dll …) or a
# library's DLL (libcurl, OpenSSL, zlib) would have to be shipped beside the program.
#   scripts/check_imports.sh PROGRAM.exe...
set -euo pipefail

# Windows' own DLLs, in every Windows from 7 on.
system_dlls=" kernel32.dll user32.dll gdi32.dll comctl32.dll comdlg32.dll shell32.dll
    shlwapi.dll ole32.dll oleaut32.dll advapi32.dll version.dll msvcrt.dll
    ws2_32.dll crypt32.dll bcrypt.dll secur32.dll winmm.dll "

status=0
for program in "$@"; do
    dlls=$(x86_64-w64-mingw32-objdump -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p' |
        tr '[:upper:]' '[:lower:]' | sort -u)
    if [ -z "$dlls" ]; then
        echo "$program: no import table found" >&2
        status=1
        continue
    fi
    echo "$program imports:" $dlls
    for dll in $dlls; do
        case $system_dlls in
            *[[:space:]]"$dll"[[:space:]]*) ;;
            *) echo "$program: imports $dll, which is not one of Windows' own DLLs" >&2; status=1 ;;
        esac
    done
done
exit $status
