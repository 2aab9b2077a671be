#!/usr/bin/env bash
# Installs, with apt-get, whatever Debian packages the build, the tests and the window need
# and are not yet on this machine. Uses sudo when not run as root.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    libgtest-dev libgmock-dev
    qt6-base-dev qt6-base-private-dev qt6-webengine-dev qt6-translations-l10n libgl-dev
    fonts-noto-cjk xdg-utils xvfb xauth xdotool imagemagick python3-xlib x11-utils
    xfwm4 dbus-daemon
    clang clang-format libfuzzer-14-dev
    g++-mingw-w64-x86-64-posix wine wine64 locales googletest acl
    libcurl4-openssl-dev python3-pyftpdlib python3-openssl openssl lftp
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Wine takes its code page from the locale: the Windows edition's tests run under
# ja_JP.UTF-8 (code page 932) and once more under en_US.UTF-8 (code page 1252), which glibc
# must have generated.
for loc in ja_JP en_US; do
    locale -a 2>/dev/null | grep -qi "^${loc}\.utf-\?8$" && continue
    $sudo sed -i "s/^# *\(${loc}.UTF-8 UTF-8\)/\1/" /etc/locale.gen
    grep -q "^${loc}.UTF-8 UTF-8" /etc/locale.gen || echo "${loc}.UTF-8 UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
done
