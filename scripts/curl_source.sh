#!/usr/bin/env bash
# Fetches Debian's source package of curl, with Debian's patches applied, into DEST (the
# folder the Windows build makes its static libcurl from; the build names it in its cache
# variable VB_CURL_SOURCE_DIR). Takes the newest source apt knows of the one upstream
# version the build is made for, and refuses any other. Needs a deb-src entry for bookworm
# (scripts/deps.sh adds one) but no root.
#   scripts/curl_source.sh DEST [VERSION]
set -euo pipefail
dest=$1
want=${2:-7.88.1}

have_version() {  # the upstream version a curl source tree says it is
    sed -n 's/^#define LIBCURL_VERSION "\(.*\)"$/\1/p' "$1/include/curl/curlver.h" 2>/dev/null
}

if [ -d "$dest" ]; then
    found=$(have_version "$dest")
    [ "$found" = "$want" ] && exit 0
    echo "curl_source.sh: $dest holds curl ${found:-of no known version}, not $want; remove it to fetch $want" >&2
    exit 1
fi

# Debian versions of that upstream version only (a newer Debian's deb-src line may offer
# curl 8), the newest first: its security fixes are in.
version=$(apt-cache showsrc --only-source curl 2>/dev/null | sed -n 's/^Version: //p' |
    grep -F -- "$want-" | sort -u | sort -rV | head -n1 || true)
if [ -z "$version" ]; then
    echo "curl_source.sh: apt knows no source of curl $want (apt-cache showsrc curl);" \
        "run scripts/deps.sh, which adds a deb-src entry for bookworm" >&2
    exit 1
fi

parent=$(dirname "$dest")
mkdir -p "$parent"
work=$(mktemp -d "$parent/.curl-source.XXXXXX")
trap 'rm -rf "$work"' EXIT
echo "Fetching Debian's source of curl $version into $dest"
# apt's unprivileged downloader cannot write into a folder of root's: root downloads itself
# (apt's files are checked against the signed index all the same).
sandbox=()
[ "$(id -u)" -ne 0 ] || sandbox=(-o APT::Sandbox::User=root)
(cd "$work" && apt-get source -qq "${sandbox[@]}" --only-source "curl=$version" >/dev/null)
tree=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name "curl-*" | head -n1)
found=$(have_version "$tree")
if [ "$found" != "$want" ]; then
    echo "curl_source.sh: the source of curl $version says it is ${found:-of no known version}, not $want" >&2
    exit 1
fi
mv "$tree" "$dest"
