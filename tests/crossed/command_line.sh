#!/usr/bin/env bash
# Runs the real programs of both editions from a shell, as a scheduled write-out runs them:
# the Linux one with no display, the Windows one under Wine with the Windows forms of the
# options. With one seed both must write the same bytes, print the log and return 0, and
# leave the settings file as it was; a refused job returns the refused status with the
# window's own text.
#   command_line.sh linux-program windows-program.exe wine_run.sh template.html wine-prefix work-folder
set -euo pipefail
linux_program=$1 windows_program=$2 wine_run=$3 template=$4 prefix=$5 work=$6
source "$(dirname "$0")/program_folder.sh"
export WINEPREFIX=$prefix

# run EDITION ARGS...: runs that edition's program in its folder; the status in $status,
# the output streams in EDITION.out and EDITION.err.
run() {
    local edition=$1
    shift
    status=0
    if [ "$edition" = linux ]; then
        (cd "$work/linux" && env -u DISPLAY -u WAYLAND_DISPLAY ./VornackBuilder "$@") \
            >"$work/linux.out" 2>"$work/linux.err" || status=$?
    else
        (cd "$work/windows" && "$wine_run" ./VornackBuilder.exe "$@") \
            >"$work/windows.out" 2>"$work/windows.err" || status=$?
    fi
}
fail() {
    echo "$1" >&2
    exit 1
}

rm -rf "$work"
make_folder "$work/linux"
make_folder "$work/windows"
cp "$linux_program" "$work/linux/VornackBuilder"
cp "$windows_program" "$work/windows/VornackBuilder.exe"
cp "$work/linux/VornackBuilder.ini" "$work/settings.ini"

# A refused job: the window's text, the refused status, nothing written.
refused=$(printf '作成ページ数が、よくねぇよ？')
for edition in linux windows; do
    if [ $edition = linux ]; then run linux --write-out --yes --pages x; else run windows /write-out /YES /pages:x; fi
    [ "$status" = 3 ] || fail "$edition: a refused job returned $status, not 3"
    grep -qF "$refused" "$work/$edition.err" || fail "$edition: no refusal text: $(cat "$work/$edition.err")"
done

# While another process holds the server folder's lock, a run is refused and touches nothing;
# once that holder has ended, the next run goes ahead.
mkdir -p "$work/linux/local/ホスト.example.jp"
touch "$work/linux/local/ホスト.example.jp/keep"
exec 9>>"$work/linux/local/ホスト.example.jp ~VornackBuilder-lock"
flock 9
run linux --write-out --yes 9>&-
exec 9>&-
[ "$status" = 3 ] || fail "linux: a run into a locked folder returned $status, not 3"
[ -e "$work/linux/local/ホスト.example.jp/keep" ] || fail "the refused run emptied the folder"

seed=20240607
run linux --write-out --yes --seed $seed
[ "$status" = 0 ] || fail "linux: status $status: $(cat "$work/linux.err")"
run windows /write-out /yes --seed $seed
[ "$status" = 0 ] || fail "windows: status $status: $(cat "$work/windows.err")"

# The log as the window shows it (its warnings name each edition's own paths): UTF-8, with
# CR LF from the Windows edition into a file.
tr -d '\r' <"$work/windows.out" >"$work/windows.log"
for log in linux.out windows.log; do
    [ "$(head -n1 "$work/$log")" = 実行中でありんす。 ] && [ "$(tail -n1 "$work/$log")" = 完了しますた。 ] ||
        fail "$log: $(cat "$work/$log")"
done
[ "$(wc -l <"$work/linux.out")" = "$(grep -c $'\r$' "$work/windows.out")" ] || fail "the logs differ in lines"

pages=$(find "$work/linux/local" -name '*.html' | wc -l)
[ "$pages" = 7 ] || fail "the Linux run wrote $pages pages, not 6 pages and index.html"
for edition in linux windows; do
    cmp "$work/settings.ini" "$work/$edition/VornackBuilder.ini" || fail "$edition changed the settings file"
done
diff -r -x VornackBuilder -x VornackBuilder.exe "$work/linux" "$work/windows"
echo "both programs wrote the same $pages pages from the command line"
