#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's private prefix, with the Japanese code
# page (932). The prefix is made on first use; WINEPREFIX may name another one.
#   scripts/wine_run.sh program.exe [args...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$1
shift

# The prefix lives in the build folder above the program unless the caller chose one.
if [ -z "${WINEPREFIX:-}" ]; then
    dir=$(cd "$(dirname "$program")" && pwd)
    while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
    [ "$dir" = / ] && dir=$(cd "$(dirname "$program")" && pwd)
    export WINEPREFIX="$dir/wineprefix"
fi
export LANG=${VB_WINE_LANG:-ja_JP.UTF-8}
export LC_ALL=$LANG
export WINEARCH=win64
# No Mono or Gecko download prompts; no debug chatter unless asked for.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEDEBUG=${WINEDEBUG:--all}

"$here/wine_prefix.sh"
exec wine "$program" "$@"
