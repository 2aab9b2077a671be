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
    dpkg-dev
)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
need_update=""

# The Windows edition's libcurl is built from Debian's source of curl (apt-get source): apt
# needs a deb-src entry for bookworm. When there is none, each entry that gives bookworm's
# binary packages is copied as a deb-src entry, with its mirror and its key, into a file of
# our own: a stanza of a deb822 .sources file (apt names it by its place in the file), a line
# of a one-line .list file.
src_list=/etc/apt/sources.list.d/vornackbuilder-src
if ! apt-get indextargets --no-release-info --format '$(RELEASE)' 'Created-By: Sources' |
    grep -qx 'bookworm\(-updates\|-security\)\?'; then
    entries=$(apt-get indextargets --no-release-info --format '$(RELEASE) $(SOURCESENTRY)' 'Created-By: Packages' |
        sed -n 's/^bookworm\(-updates\|-security\)\? //p' | sort -u)
    sources="" lists=""
    while IFS= read -r entry; do
        file=${entry%:*} n=${entry##*:}
        case $file in
            *.sources)
                sources+=$(awk -v n="$n" '
                    /^[ \t]*$/ { if (fields) k++; fields = 0; next }
                    /^[A-Za-z-]+:/ { fields = 1 }
                    k == n - 1 { if ($0 ~ /^Types:/) print "Types: deb-src"; else print }' "$file")$'\n\n' ;;
            *) lists+=$(sed -n "${n}s/^[ \t]*deb[ \t]/deb-src /p" "$file")$'\n' ;;
        esac
    done <<<"$entries"
    echo "Adding deb-src entries for bookworm: $src_list.*"
    [ -z "$sources" ] || printf '%s' "$sources" | $sudo tee "$src_list.sources" >/dev/null
    [ -z "$lists" ] || printf '%s' "$lists" | $sudo tee "$src_list.list" >/dev/null
    need_update=1
fi
# An entry added by hand whose index was never fetched.
[ -n "$(apt-cache showsrc --only-source curl 2>/dev/null)" ] || need_update=1

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ -n "$need_update" ] || [ ${#missing[@]} -gt 0 ]; then
    $sudo apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
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

# The source of curl that the Windows build makes its libcurl from, in the folder it looks in.
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/curl_source.sh" "$root/build/deps/curl"
