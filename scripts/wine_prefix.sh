#!/usr/bin/env bash
# Makes the Wine prefix named by WINEPREFIX once (wineboot takes about ten seconds);
# concurrent callers wait for the first.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the prefix}"
[ -f "$WINEPREFIX/.vb-ready" ] && exit 0
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
if [ ! -f "$WINEPREFIX/.vb-ready" ]; then
    export WINEARCH=win64 WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}" WINEDEBUG=-all
    wineboot --init >/dev/null 2>&1 || true
    # Wine names a program for text documents but gives .txt files no type: without this,
    # opening ReadMe.txt (使い方) finds no program, where Windows opens Notepad.
    wine reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null 2>&1 || true
    wineserver --wait || true
    touch "$WINEPREFIX/.vb-ready"
fi
