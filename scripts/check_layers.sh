#!/usr/bin/env bash
# Fails when a source file includes a folder its layer may not depend on (the arrows of
# ARCHITECTURE.md), or when toolkit or Windows headers appear in the core; lists each such
# include. The folders a layer may include, besides its own and the standard library:
set -euo pipefail
cd "$(dirname "$0")/.."
declare -A allowed=(
    [platform]=""
    [forms]=""
    [rules]="platform"
    [builder]="rules forms platform"
    [settings]="rules forms platform"
    [winutil]="forms platform"
    [ui]="builder settings winutil rules forms platform"
    [cli]="ui builder settings winutil rules forms platform"
    [qt]="forms platform"
    [win32]="forms platform"
    [app]="cli ui builder settings winutil rules forms platform qt win32"
)
# Headers the build generates into src/generated, usable from every layer above forms.
generated='build_config.h'

bad=0
report() {
    echo "$1: $2" >&2
    bad=1
}
for layer in "${!allowed[@]}"; do
    ok=" $layer ${allowed[$layer]} "
    while IFS= read -r -d '' f; do
        while IFS= read -r target; do
            root=${target%%/*}
            if [ "$root" = "$target" ]; then
                # A bare name: the generated header is all a layer above forms may name so.
                [ "$target" = "$generated" ] && [ -n "${allowed[$layer]}" ] && continue
                report "$f" "includes \"$target\""
            elif [[ "$ok" != *" $root "* ]]; then
                report "$f" "includes \"$target\" ($layer may not depend on $root)"
            fi
        done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$f")
        case "$layer" in qt | win32 | app) continue ;; esac
        # The core knows no window toolkit; only the platform's _win32 files know Windows.
        if grep -Eq '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$f"; then
            report "$f" "includes Qt"
        fi
        if [[ "$f" != src/platform/*_win32.cpp ]] &&
            grep -Eqi '^[[:space:]]*#[[:space:]]*include[[:space:]]*<(windows|winbase|winuser|shellapi|ole2|objbase)\.h>' "$f"; then
            report "$f" "includes Windows headers"
        fi
    done < <(git ls-files -z "src/$layer/*.cpp" "src/$layer/*.h")
done
exit $bad
