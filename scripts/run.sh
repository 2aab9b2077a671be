#!/usr/bin/env bash
# Installs what is missing, builds the program, lays out a ready program folder and starts
# the window. The program folder is build/default/bin: the executable, template.html,
# ReadMe.txt, the local/ output folder, sample sources, and (only when none exists yet)
# a starter settings file with one example server and title.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset default
cmake --build --preset default --target VornackBuilder

bin="$PWD/build/default/bin"
ini="$bin/VornackBuilder.ini"
if [ ! -e "$ini" ]; then
    # cp932 with CR LF, as the program reads and writes it; readable by the owner only
    # because server entries carry passwords.
    umask 077
    {
        printf '[Setting]\r\n'
        printf 'Server1=sample.example user password\r\n'
        printf 'PrevServer=0\r\n'
        printf 'Title1=ヴォルナックのページ\r\n'
        printf 'PrevTitle=0\r\n'
        printf 'SrcPath=%s\r\n' "$bin/samples"
    } | iconv -f UTF-8 -t CP932 > "$ini"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: run it under a virtual X server with: xvfb-run -a scripts/run.sh" >&2
    exit 1
fi
exec "$bin/VornackBuilder"
