#!/usr/bin/env bash
# Installs what is missing, checks the formatting, the layers' includes and that the pages name
# only what the tree has (ARCHITECTURE.md, README.md), configures, builds
# and runs every test; then runs the core tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer (with the fuzz seeds replayed), and each fuzzer for a few seconds
# when clang with libFuzzer is there; last the Windows edition, cross-built with MinGW-w64 and
# tested under Wine, its core tests once more under code page 1252.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/check_format.sh
scripts/check_layers.sh
scripts/check_docs.py
# The Windows builds of the headless write-out driver and of the program first: the Linux
# build then registers the tests that run both editions and compare what they write, byte
# for byte (the driver, and the real programs from a shell).
cmake --preset windows
cmake --build --preset windows --target same_bytes_driver VornackBuilder
cmake --preset default
cmake --build --preset default
# Window tests need a display: run them under a private X server when there is none.
if [ -z "${DISPLAY:-}" ]; then
    xvfb-run -a -s "-noreset -screen 0 1280x1024x24" ctest --preset default
else
    ctest --preset default
fi

# The core (no Qt) under the sanitizers: every test, and the fuzz targets' seed corpora.
cmake --preset asan
cmake --build --preset asan
ctest --preset asan

# The fuzzers themselves, a few seconds each, over their seed corpora (without libFuzzer the
# clang build replays the seeds instead).
if command -v clang++ >/dev/null; then
    cmake --preset fuzz
    cmake --build --preset fuzz --target fuzz_profile fuzz_codec fuzz_numeric fuzz_page_body
    ctest --preset fuzz
else
    echo "clang not found: fuzzers not run (their seeds ran in the sanitizer build)"
fi

# The Windows edition: every test under Wine with the Japanese code page (932), then the core
# test programs once more in a prefix of their own under code page 1252, where any ANSI call
# or path that slipped in shows.
cmake --preset windows
cmake --build --preset windows
ctest --preset windows
VB_WINE_LANG=en_US.UTF-8 WINEPREFIX="$PWD/build/windows/wineprefix-cp1252" \
    ctest --preset windows -L '^(codec|platform|rules|forms|builder|settings|winutil|ui|hardening)_tests$'
