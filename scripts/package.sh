#!/usr/bin/env bash
# Makes the release archives in build/packages/, each holding one program folder that runs
# where it is unpacked:
#   VornackBuilder-<version>-win64.zip         VornackBuilder.exe (needs only Windows' own
#       DLLs), VornackBuilder.com (its console companion for the command line), template.html, ReadMe.txt (cp932, CR LF), local\, samples\ and a starter
#       VornackBuilder.ini
#   VornackBuilder-<version>-linux-x86_64.tar.gz  the same folder of the Linux edition, as
#       scripts/run.sh lays it out, with a desktop entry (VornackBuilder.desktop) and the
#       program's icon (vornackbuilder.png)
# The starter settings file names one example server and title and the samples folder
# beside the program (a relative path: started from its own folder, as a double click in
# File Explorer does, the program finds them).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
version=$(sed -n 's/^project(VornackBuilder VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
out="$PWD/build/packages"
rm -rf "$out"
mkdir -p "$out"

# starter_settings FILE: cp932 with CR LF, as the program reads and writes it.
starter_settings() {
    {
        printf '[Setting]\r\n'
        printf 'Server1=sample.example user password\r\n'
        printf 'PrevServer=0\r\n'
        printf 'Title1=ヴォルナックのページ\r\n'
        printf 'PrevTitle=0\r\n'
        printf 'SrcPath=samples\r\n'
    } | iconv -f UTF-8 -t CP932 > "$1"
}

# program_folder BUILD_BIN EXE DEST: copies a built program folder without run-time files.
program_folder() {
    mkdir -p "$3/local" "$3/samples"
    cp "$1/$2" "$1/template.html" "$1/ReadMe.txt" "$3/"
    cp "$1"/samples/* "$3/samples/"
    starter_settings "$3/VornackBuilder.ini"
}

cmake --preset windows
cmake --build --preset windows --target VornackBuilder
win="VornackBuilder-$version-win64"
program_folder build/windows/bin VornackBuilder.exe "$out/$win"
cp build/windows/bin/VornackBuilder.com "$out/$win/"
# the build keeps debug information
x86_64-w64-mingw32-strip "$out/$win/VornackBuilder.exe" "$out/$win/VornackBuilder.com"
scripts/check_imports.sh "$out/$win/VornackBuilder.exe" "$out/$win/VornackBuilder.com"
(cd "$out" && python3 -m zipfile -c "$win.zip" "$win/" && rm -rf "$win")

cmake --preset default
cmake --build --preset default --target VornackBuilder
linux="VornackBuilder-$version-linux-x86_64"
program_folder build/default/bin VornackBuilder "$out/$linux"
cp resources/VornackBuilder.desktop "$out/$linux/"
cp resources/app_icon.png "$out/$linux/vornackbuilder.png"
strip "$out/$linux/VornackBuilder"
chmod 600 "$out/$linux/VornackBuilder.ini"  # server entries carry passwords
tar -C "$out" -czf "$out/$linux.tar.gz" "$linux"
rm -rf "$out/$linux"
ls -l "$out"
