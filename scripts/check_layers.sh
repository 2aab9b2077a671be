#!/usr/bin/env bash
# Fails when a source file includes what its place in the tree may not know, and lists each
# such include. Every #include is looked at, quoted or in angle brackets:
# - a project header ("layer/..." or <layer/...>): only from the folders the layer may use
#   (the arrows of ARCHITECTURE.md, the table below);
# - Qt: only in src/qt, src/app, tests and bench (the benchmarks drive the Qt window as the
#   tests do);
# - Windows: only in files named *_win32*, src/win32 and src/app (and tests/win32, which
#   drives the Win32 view);
# - POSIX (and the X server's XCB): only in files named *_posix*, src/qt and src/app (and
#   tests/qt, tests/app);
#   besides, in tests inside `#ifndef _WIN32` (the hostile tables keep their POSIX rows in
#   the shared file), and in bench and tools, which build for Linux only apart from their
#   *_win32 files;
# - libcurl: only in src/publish/curl_* (the one transfer over it) and in the test of the
#   Windows build's own libcurl, tests/win32/libcurl_test.cpp;
# - OpenSSL: only in the publishing benchmark's own server, bench/native_ftp_server.cpp;
# - the standard library anywhere, GoogleTest in tests; any other header fails until it is
#   named in one of the lists below.
# The folders a layer may include, besides its own and the standard library:
set -euo pipefail
cd "$(dirname "$0")/.."
declare -A allowed=(
    [codec]=""
    [platform]="codec"
    [forms]=""
    [rules]="codec"
    [builder]="rules forms platform codec"
    [settings]="rules forms platform codec"
    [winutil]="forms platform codec"
    [publish]="settings rules forms platform codec"
    [ui]="publish builder settings winutil rules forms platform codec"
    [cli]="ui publish builder settings winutil rules forms platform codec"
    [qt]="forms platform codec"
    [win32]="forms platform codec"
    [app]="cli ui publish builder settings winutil rules forms platform qt win32"
)
# Headers the build generates into src/generated, usable from every layer above forms.
generated='build_config.h'
# Test programs built for Linux only whose names do not say so yet. save_kill_test.cpp is
# to become save_kill_posix_test.cpp once the change under way in it has landed.
posix_tests='tests/settings/save_kill_test.cpp'

standard='algorithm|any|array|atomic|bit|bitset|cassert|cctype|cerrno|cfloat|charconv|chrono|
climits|cmath|compare|concepts|condition_variable|cstddef|cstdint|cstdio|cstdlib|cstring|ctime|
cwchar|cwctype|deque|exception|filesystem|format|fstream|functional|future|initializer_list|
iomanip|ios|iosfwd|iostream|istream|iterator|limits|list|locale|map|memory|mutex|new|numeric|
optional|ostream|queue|random|ranges|ratio|regex|set|source_location|span|sstream|stack|
stdexcept|stop_token|string|string_view|system_error|thread|tuple|type_traits|typeinfo|
unordered_map|unordered_set|utility|variant|vector|version|csignal|cinttypes|cstdarg'
windows='windows\.h|winbase\.h|winuser\.h|winnt\.h|winerror\.h|winioctl\.h|commctrl\.h|
shellapi\.h|shlobj\.h|shlwapi\.h|psapi\.h|ole2\.h|oleauto\.h|oleidl\.h|ocidl\.h|oaidl\.h|
objbase\.h|unknwn\.h|exdisp\.h|exdispid\.h|mshtml\.h|wrl/.*|atl.*\.h|tlhelp32\.h|io\.h|
aclapi\.h'
posix='unistd\.h|fcntl\.h|signal\.h|spawn\.h|iconv\.h|dirent\.h|dlfcn\.h|poll\.h|pwd\.h|grp\.h|
pthread\.h|termios\.h|sys/.*|netinet/.*|arpa/.*|xcb/.*'
standard=${standard//$'\n'/}
windows=${windows//$'\n'/}
posix=${posix//$'\n'/}

bad=0
report() {
    echo "$1: $2" >&2
    bad=1
}

# A project include from src/<layer>.
check_layer() {
    local f=$1 layer=$2 target=$3
    local root=${target%%/*} ok=" $layer ${allowed[$layer]} "
    if [ "$root" = "$target" ]; then
        # A bare name: the generated header is all a layer above forms may name so.
        [ "$target" = "$generated" ] && [ -n "${allowed[$layer]}" ] && return
        report "$f" "includes \"$target\""
    elif [[ "$ok" != *" $root "* ]]; then
        report "$f" "includes \"$target\" ($layer may not depend on $root)"
    fi
}

# Prints each include of a file as "<q|a> <posix-guard 0|1> <target>": q for quoted, a for
# angle brackets; the guard is 1 inside #ifndef _WIN32 (or the #else of #ifdef _WIN32).
includes() {
    awk '
        /^[ \t]*#[ \t]*if/ {
            g = 0
            if ($0 ~ /#[ \t]*ifndef[ \t]+_WIN32/ || $0 ~ /#[ \t]*if[ \t]+!defined\(_WIN32\)/) g = 1
            else if ($0 ~ /#[ \t]*ifdef[ \t]+_WIN32/ || $0 ~ /#[ \t]*if[ \t]+defined\(_WIN32\)/) g = 2
            stack[++depth] = g
            next
        }
        /^[ \t]*#[ \t]*else/ { if (stack[depth] == 1) stack[depth] = 2; else if (stack[depth] == 2) stack[depth] = 1; next }
        /^[ \t]*#[ \t]*endif/ { if (depth > 0) depth--; next }
        /^[ \t]*#[ \t]*include/ {
            guarded = 0
            for (i = 1; i <= depth; i++) if (stack[i] == 1) guarded = 1
            line = $0
            if (match(line, /"[^"]*"/)) print "q", guarded, substr(line, RSTART + 1, RLENGTH - 2)
            else if (match(line, /<[^>]*>/)) print "a", guarded, substr(line, RSTART + 1, RLENGTH - 2)
        }
    ' "$1"
}

while IFS= read -r -d '' f; do
    layer=""
    [[ "$f" == src/*/* ]] && layer=${f#src/} && layer=${layer%%/*}
    [ -n "$layer" ] && [ -z "${allowed[$layer]+set}" ] && layer=""
    name=${f##*/}
    while read -r kind guarded target; do
        root=${target%%/*}
        if [ "$kind" = q ] || [ -n "${allowed[$root]+set}" ] || [ "$target" = "$generated" ]; then
            [ -n "$layer" ] && check_layer "$f" "$layer" "$target"
            continue
        fi
        if [[ "$target" =~ ^($standard)$ ]]; then
            continue
        elif [[ "$target" =~ ^curl/ ]]; then
            [[ "$f" == src/publish/curl_* || "$f" == tests/win32/libcurl_test.cpp ]] ||
                report "$f" "includes <$target> (libcurl only in src/publish/curl_* and tests/win32/libcurl_test.cpp)"
        elif [[ "$target" =~ ^openssl/ ]]; then
            [[ "$f" == bench/native_ftp_server.cpp ]] ||
                report "$f" "includes <$target> (OpenSSL only in the benchmark's server; the product's TLS is libcurl's)"
        elif [[ "$target" =~ ^(gtest|gmock)/ ]]; then
            [[ "$f" == tests/* ]] || report "$f" "includes <$target> (GoogleTest only in tests)"
        elif [[ "$target" =~ ^Q[A-Za-z]+$ || "$target" =~ ^Qt[A-Za-z]*/ ]]; then
            [[ "$f" =~ ^(src/qt|src/app|tests|bench)/ ]] ||
                report "$f" "includes Qt <$target> (only in src/qt, src/app, tests, bench)"
        elif [[ "$target" =~ ^($windows)$ ]]; then
            [[ "$name" == *_win32* || "$f" =~ ^(src/win32|src/app|tests/win32)/ ]] ||
                report "$f" "includes Windows <$target> (only in *_win32 files, src/win32, src/app)"
        elif [[ "$target" =~ ^($posix)$ ]]; then
            [[ "$name" == *_posix* || "$f" =~ ^(src/qt|src/app|tests/qt|tests/app)/ ]] && continue
            [[ "$f" == tests/* && "$guarded" = 1 ]] && continue
            [[ "$f" =~ ^(bench|tools)/ ]] && continue
            [[ " $posix_tests " == *" $f "* ]] && continue
            report "$f" "includes POSIX <$target> (only in *_posix files, src/qt, src/app)"
        else
            report "$f" "includes <$target>, which scripts/check_layers.sh does not know"
        fi
    done < <(includes "$f")
done < <(git ls-files -z 'src/*.cpp' 'src/*.h' 'src/*.inc' 'src/*.in' 'tests/*.cpp' 'tests/*.h' \
    'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h' 'tools/*.cpp' 'tools/*.h')
exit $bad
