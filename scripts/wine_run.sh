#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's private prefix, with the Japanese code
# page (932). The prefix is made on first use; WINEPREFIX may name another one.
#   scripts/wine_run.sh program.exe [args...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$1
shift

# A program inside a build folder uses the prefix there. Any other program (an unpacked
# release) is started in its own folder, as a double click in File Explorer starts it, so
# that the relative paths of its settings file hold, and uses a prefix in the user's cache:
# nothing may be added to the program folder.
program_dir=$(cd "$(dirname "$program")" && pwd)
dir=$program_dir
while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
if [ "$dir" = / ]; then
    program="$program_dir/$(basename "$program")"
    cd "$program_dir"
    dir="${XDG_CACHE_HOME:-$HOME/.cache}/vornackbuilder"
fi
export WINEPREFIX="${WINEPREFIX:-$dir/wineprefix}"
export LANG=${VB_WINE_LANG:-ja_JP.UTF-8}
export LC_ALL=$LANG
export WINEARCH=win64
# No Mono or Gecko download prompts; no debug chatter unless asked for.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEDEBUG=${WINEDEBUG:--all}

"$here/wine_prefix.sh"
exec wine "$program" "$@"
