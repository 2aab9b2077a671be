#!/usr/bin/env bash
# Runs the Linux and the Windows build of same_bytes_driver on two copies of one program
# folder and compares every byte they leave: the pages, index.html and the settings file.
#   same_bytes.sh linux-driver windows-driver.exe wine_run.sh template.html work-folder
set -euo pipefail
linux_driver=$1 windows_driver=$2 wine_run=$3 template=$4 work=$5

# make_folder DIR: one program folder (template.html, a settings file, local/, the sources).
source "$(dirname "$0")/program_folder.sh"

rm -rf "$work"
make_folder "$work/linux"
make_folder "$work/windows"
(cd "$work/linux" && "$linux_driver")
(cd "$work/windows" && "$wine_run" "$windows_driver")

# A run that wrote nothing would compare equal: the pages must be there.
pages=$(find "$work/linux/local" -type f | wc -l)
if [ "$pages" -lt 7 ]; then
    echo "the Linux run wrote $pages files, not the 6 pages and index.html" >&2
    exit 1
fi
diff -r "$work/linux" "$work/windows"
echo "both editions wrote the same $pages files and settings file"
