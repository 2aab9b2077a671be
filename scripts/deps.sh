#!/usr/bin/env bash
# Installs, with apt-get, whatever Debian packages the build, the tests and the window need
# and are not yet on this machine. Uses sudo when not run as root.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    libgtest-dev libgmock-dev
    qt6-base-dev qt6-webengine-dev qt6-translations-l10n libgl-dev
    fonts-noto-cjk xvfb xauth xdotool imagemagick python3-xlib x11-utils
    clang clang-format libfuzzer-14-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
