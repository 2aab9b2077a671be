#!/usr/bin/env bash
# The real Linux program run from a shell as a scheduled write-out runs it, in the hostile
# places a machine offers: mounts, folders it may not change, full disks, closed streams,
# signals. One case a call:
#   scheduled_run.sh program template.html work-folder case
# Status 77 (skipped) where this machine cannot show the case (no mount namespace, no
# unprivileged user to run as).
set -euo pipefail
program=$1 template=$2 work=$3 case=$4

# The cases that mount run in a mount namespace of their own: the mounts end with them.
case $case in
mount_inside_output | log_full_disk | pages_full_disk)
    if [ -z "${VB_OWN_MOUNTS:-}" ]; then
        unshare -m --propagation private true 2>/dev/null || exit 77  # no mount namespace
        exec unshare -m --propagation private env VB_OWN_MOUNTS=1 "$0" "$@"
    fi
    ;;
esac

cp932() { printf "$1" | iconv -f UTF-8 -t CP932; }
fail() { echo "$case: $1" >&2 && exit 1; }
skip() { echo "$case: skipped: $1" >&2 && exit 77; }

# A program folder in $prog: the settings file names one server and one title, the source
# folder "src" holds three sources.
prog=$work/$case
rm -rf "$prog"
mkdir -p "$prog/local" "$prog/src" && cp "$program" "$prog/VornackBuilder" && cp "$template" "$prog/template.html"
cp932 '[Setting]\r\nServer1=sample.example user pass\r\nPrevServer=0\r\nTitle1=題名\r\n' >"$prog/VornackBuilder.ini"
cp932 'PrevTitle=0\r\nSrcPath=src\r\nMakePageNum=3\r\nPagePerSrcNum=1\r\n' >>"$prog/VornackBuilder.ini"
for name in one two three; do cp932 "ソース $name\r\n" >"$prog/src/$name.txt"; done
out=$prog/local/sample.example

# run ARGS...: the program with no display in its folder; $status, $prog.out (or $stdout), $prog.err.
run() {
    status=0
    (cd "$prog" && env -u DISPLAY -u WAYLAND_DISPLAY ${as_user:-} ./VornackBuilder "$@") \
        >"${stdout:-$prog.out}" 2>"$prog.err" || status=$?
}
write_out() { run --write-out --yes --seed 7 "$@"; }
first_run() { write_out && [ "$status" = 0 ] || fail "the first run returned $status: $(cat "$prog.err")"; }
# The user to run as, to see what root may do anyway: nobody when this is root.
unprivileged() {
    [ "$(id -u)" = 0 ] || return 0
    command -v setpriv >/dev/null || skip "no setpriv to run as nobody"
    chown -R 65534:65534 "$prog" && as_user="setpriv --reuid=65534 --regid=65534 --clear-groups"
}
# tiny_tmpfs FOLDER KIB: a file system of that size mounted there.
tiny_tmpfs() { mount -t tmpfs -o "size=$2k" tmpfs "$1" || skip "cannot mount a tmpfs"; }
# byte_at FILE N: the file's Nth byte in hexadecimal.
byte_at() { head -c "$2" "$1" | tail -c 1 | od -An -tx1 | tr -d ' '; }

case $case in
mount_inside_output)
    # A folder mounted inside the output folder (a bind mount of the same file system, which
    # only the mount flag tells): refused before anything is deleted, the mounted files kept.
    first_run
    mkdir -p "$work/webroot" "$out/static" && echo keep >"$work/webroot/site.html" && pages_before=$(ls "$out")
    mount --bind "$work/webroot" "$out/static" || skip "no bind mount"
    write_out
    umount "$out/static" || true
    [ -f "$work/webroot/site.html" ] || fail "the mounted folder's files were deleted"
    [ "$status" = 1 ] || fail "the run returned $status, not 1"
    grep -qF '別のドライブやファイルシステムがつながっているため削除できません。' "$prog.err" || fail "$(cat "$prog.err")"
    [ "$(ls "$out")" = "$pages_before" ] || fail "the old pages changed: $(ls "$out")"
    ;;
output_not_movable)
    # local/ write-protected for its owner: the output folder cannot be moved aside. Refused
    # with the old pages kept (root may move it anyway: run as nobody).
    first_run && pages_before=$(ls "$out")
    unprivileged && chmod 555 "$prog/local" && write_out && chmod 755 "$prog/local"
    [ "$status" = 1 ] || fail "the run returned $status, not 1: $(cat "$prog.err")"
    grep -qF 'フォルダを移動できないため削除できません。' "$prog.err" || fail "$(cat "$prog.err")"
    [ "$(ls "$out")" = "$pages_before" ] || fail "the old pages changed: $(ls "$out")"
    ;;
source_holds_settings)
    # The program's folder as the source folder: refused, no page carries the settings file.
    write_out --source .
    [ "$status" = 3 ] || fail "the run returned $status, not 3"
    grep -qF 'ソースパスに設定ファイルとプログラムがあるぜ？' "$prog.err" || fail "$(cat "$prog.err")"
    ! grep -rqF 'Server1=' "$prog/local" || fail "a page carries the settings file"
    ;;
password_masked)
    # An entry spaced with ideographic spaces is its whole text, password included, in the
    # list and in its folder's name: a failure naming the folder shows it cut.
    cp932 '[Setting]\r\nServer1=ideo.example　user　s3cretPW\r\nPrevServer=0\r\nTitle1=t\r\n' >"$prog/VornackBuilder.ini"
    cp932 'PrevTitle=0\r\nSrcPath=src\r\n' >>"$prog/VornackBuilder.ini"
    echo in-the-way >"$prog/local/ideo.example　user　s3cretPW"
    write_out --log run.log
    [ "$status" = 1 ] || fail "the run returned $status, not 1: $(cat "$prog.err")"
    ! grep -qF s3cretPW "$prog.err" "$prog.out" "$prog/run.log" || fail "the password shows: $(cat "$prog.err")"
    grep -qF 'ideo.example…' "$prog.err" || fail "the folder is not named: $(cat "$prog.err")"
    ;;
log_in_source)
    # A --log in the source folder: refused before it is made, nothing written.
    write_out --log src/run.log
    [ "$status" = 2 ] || fail "the run returned $status, not 2"
    [ ! -e "$prog/src/run.log" ] && [ ! -e "$out" ] || fail "the run went on: $(ls "$prog/src")"
    ;;
refusal_hints)
    # Refusals a command line can answer: which option chooses the server, which folder the
    # source refusal means; a foreign form of an option refused as a bad command line.
    cp932 '[Setting]\r\nServer1=sample.example u p\r\nTitle1=t\r\nSrcPath=src\r\n' >"$prog/VornackBuilder.ini"
    write_out
    [ "$status" = 3 ] && grep -qF -- '--server' "$prog.err" || fail "no --server hint: $(cat "$prog.err")"
    write_out --server sample.example --title t --source gone
    [ "$status" = 3 ] && grep -qF '"gone"' "$prog.err" || fail "the folder not named: $(cat "$prog.err")"
    for form in --WRITE-OUT /write-out; do run $form && [ "$status" = 2 ] || fail "$form returned $status"; done
    ;;
deep_old_tree)
    # Old pages in a tree deeper than the descriptors a process may hold: removed all the same.
    deep=$out status=0 && for _ in $(seq 300); do deep=$deep/d; done
    mkdir -p "$deep" && echo old >"$deep/old.html"
    (ulimit -n 64 && write_out && exit "$status") || status=$?
    [ "$status" = 0 ] || fail "the run returned $status: $(cat "$prog.err")"
    [ ! -e "$out/d" ] && [ "$(ls "$prog/local" | wc -l)" = 2 ] || fail "the old tree stays: $(ls "$prog/local")"
    ;;
hostile_source_names)
    # Sources named with a line break and a terminal's escape: each warned of once on a line of
    # its own, nothing raw on the terminal or in the log; the run's last line names its start.
    for name in one two three; do cp932 "ソース\r\n" >"$prog/src/$name.txt"; done
    cp "$prog/src/one.txt" "$prog/src/$(printf 'line\nbreak.txt')"
    cp "$prog/src/one.txt" "$prog/src/$(printf 'esc\033[31m.txt')"
    write_out --pages 40 --log run.log
    [ "$status" = 0 ] || fail "the run returned $status: $(cat "$prog.err")"
    [ "$(grep -c '^【警報】' "$prog.out")" = 5 ] || fail "warnings: $(cat -v "$prog.out")"
    ! grep -q $'\033' "$prog.out" "$prog.err" "$prog/run.log" || fail "an escape reached the output raw"
    grep -qF "line␊break.txt" "$prog/run.log" || fail "the break not shown: $(cat "$prog/run.log")"
    run_name=$(sed -n '1s/^[^ ]* \(VornackBuilder\[[0-9]*\]\) .*/\1/p' "$prog/run.log")
    tail -n 1 "$prog/run.log" | grep -qF " $run_name 終了 (end) " || fail "the end line does not match the start: $(cat "$prog/run.log")"
    ;;
counts_making_no_page)
    # A page count that rounds to no page, and a page too many sources long: refused before the
    # old pages go, where the window would empty the folder or run for minutes unseen.
    first_run
    pages_before=$(ls "$out")
    for counts in "--pages 0.4" "--per-page 2147483647"; do
        write_out $counts
        [ "$status" = 3 ] || fail "$counts returned $status: $(cat "$prog.err")"
        [ "$(ls "$out")" = "$pages_before" ] || fail "$counts: the old pages changed"
    done
    ;;
big_source)
    # A source too big to make pages of within a bound: refused, naming it, before the old pages go.
    first_run
    pages_before=$(ls "$out") && truncate -s 300M "$prog/src/big.txt" && write_out
    [ "$status" = 3 ] && grep -qF "src/big.txt" "$prog.err" || fail "returned $status: $(cat "$prog.err")"
    [ "$(ls "$out")" = "$pages_before" ] || fail "the old pages changed"
    ;;
private_qt_unneeded)
    # The program asks for none of Qt's private interface when it is loaded: the distribution's
    # Qt promises nothing of it between releases, and a scheduled run needs no X at all.
    ! objdump -T "$program" | grep -F 'PRIVATE_API' || fail "links Qt's private interface"
    ;;
stdout_full)
    # Standard output a full device: the pages are written, the status says the log is not.
    stdout=/dev/full write_out
    [ "$status" = 74 ] || fail "the run returned $status, not 74: $(cat "$prog.err")"
    [ "$(ls "$out" | wc -l)" = 4 ] || fail "not every page written: $(ls "$out")"
    ;;
terminated)
    # SIGTERM (a timeout wrapper) during a long write-out: a last log line, then 143.
    (cd "$prog" && exec env -u DISPLAY ./VornackBuilder --write-out --yes --quiet --pages 1000000 \
        --log run.log) 2>"$prog.err" &
    pid=$! status=0
    for _ in $(seq 100); do grep -qF '実行中' "$prog/run.log" 2>/dev/null && break || sleep 0.1; done
    kill -TERM $pid && wait $pid || status=$?
    rm -rf "$out"
    [ "$status" = 143 ] || fail "the run returned $status, not 143"
    tail -n 1 "$prog/run.log" | grep -q ' outcome=terminated$' || fail "last line: $(tail -n 1 "$prog/run.log")"
    ;;
closed_stdout)
    # Started with standard output closed: the --log file does not take its place.
    (cd "$prog" && env -u DISPLAY ./VornackBuilder --write-out --yes --log run.log >&- 2>"$prog.err") ||
        fail "the run failed: $(cat "$prog.err")"
    [ "$(grep -c '開始 (start)' "$prog/run.log")" = 1 ] || fail "lines doubled: $(cat "$prog/run.log")"
    ;;
log_full_disk)
    # The log on a full disk, ending inside a line an earlier night could not finish: no line
    # torn, the first one on a line of its own.
    log=$prog/logs/run.log && mkdir "$prog/logs" && tiny_tmpfs "$prog/logs" 8
    head -c 4000 /dev/zero | tr '\0' x >"$log"
    head -c 4096 /dev/zero >"$prog/logs/filler" 2>/dev/null || true
    write_out --log logs/run.log
    [ "$status" = 74 ] || fail "the run returned $status, not 74: $(cat "$prog.err")"
    size=$(stat -c %s "$log")
    [ "$size" = 4000 ] || { [ "$(byte_at "$log" 4001)" = 0a ] && [ "$(byte_at "$log" "$size")" = 0a ]; } ||
        fail "a line torn or continued: $(tail -c 300 "$log")"
    ;;
pages_full_disk)
    # The output disk full after a few pages: no cut page stays beside the good ones.
    tiny_tmpfs "$prog/local" 1024
    write_out --pages 100000
    [ "$status" = 1 ] || fail "the run returned $status, not 1"
    ending=$(tail -c 8 "$prog/template.html" | od -An -tx1)
    for page in "$out"/*; do [ "$(tail -c 8 "$page" | od -An -tx1)" = "$ending" ] || fail "a page cut short: $page"; done
    ;;
*) fail "no such case" ;;
esac
