#!/usr/bin/env bash
# Runs the real programs of both editions from a shell, as a scheduled write-out runs them:
# the Linux one with no display, the Windows one under Wine with the Windows forms of the
# options. With one seed both must write the same bytes, print the log and return 0, and
# leave the settings file as it was; a refused job returns the refused status with the
# window's own text. Then what a scheduled run relies on: the statuses, the log's first and
# last lines and --log file, fresh draws without --seed, and nothing touched unconfirmed.
# Last, both editions write out once more with one seed and publish to one local FTP server,
# each into a folder of its own, and the two remote folders hold the same bytes.
#   command_line.sh linux-program windows-program.exe wine_run.sh template.html wine-prefix
#                   work-folder version ftp_server.py
set -euo pipefail
linux_program=$1 windows_program=$2 wine_run=$3 template=$4 prefix=$5 work=$6 version=$7
ftp_server=$8
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
        (cd "$work/windows" && "$wine_run" "./${program:-VornackBuilder.exe}" "$@") \
            >"$work/windows.out" 2>"$work/windows.err" || status=$?
    fi
}
# The listing of a folder, to tell whether a run left it exactly as it was.
listing() { (cd "$1" && find . -printf '%p %s %T@\n' | sort); }
fail() {
    echo "$1" >&2
    exit 1
}

rm -rf "$work"
make_folder "$work/linux"
make_folder "$work/windows"
cp "$linux_program" "$work/linux/VornackBuilder"
cp "$windows_program" "$work/windows/VornackBuilder.exe"
cp "$(dirname "$windows_program")/VornackBuilder.com" "$work/windows/"
cp "$work/linux/VornackBuilder.ini" "$work/settings.ini"

# The version box's version, in both option forms under Wine.
run linux --version
[ "$status" = 0 ] && [ "$(cat "$work/linux.out")" = "VornackBuilder $version" ] || fail "linux --version: $(cat "$work/linux.out")"
for form in --version /version; do
    run windows $form
    [ "$status" = 0 ] && [ "$(tr -d '\r' <"$work/windows.out")" = "VornackBuilder $version" ] ||
        fail "windows $form: $(cat "$work/windows.out")"
done

# Every error line names the program; a refused or unconfirmed run leaves local/ exactly as
# it was (the window's start would make the server's folder); no settings file is status 3
# and names the file.
before=$(listing "$work/linux/local")
for args in "--write-out --bogus" "--write-out --yes --server nope" "--write-out"; do
    run linux $args
    [ "$(listing "$work/linux/local")" = "$before" ] || fail "linux $args touched local"
    grep -qv '^VornackBuilder: ' "$work/linux.err" && fail "linux $args: an error line without the name"
done
run windows /write-out /bogus
[ "$status" = 2 ] && ! tr -d '\r' <"$work/windows.err" | grep -qv '^VornackBuilder: ' ||
    fail "windows: a bad command line said: $(cat "$work/windows.err")"
[ -z "$(ls "$work/windows/local")" ] || fail "windows: the refused run made $(ls "$work/windows/local")"
for edition in linux windows; do
    mv "$work/$edition/VornackBuilder.ini" "$work/aside.ini"
    run $edition --write-out --yes
    mv "$work/aside.ini" "$work/$edition/VornackBuilder.ini"
    [ "$status" = 3 ] && grep -q 'VornackBuilder\.ini' "$work/$edition.err" ||
        fail "$edition without a settings file: $status $(cat "$work/$edition.err")"
done

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
[ "$status" = 75 ] || fail "linux: a run into a locked folder returned $status, not 75"
[ -e "$work/linux/local/ホスト.example.jp/keep" ] || fail "the refused run emptied the folder"

# Each edition runs twice with one seed and one --log file, the second time quietly; the
# Windows one through VornackBuilder.com, as a command prompt runs it.
seed=20240607
for quiet in "" --quiet; do
    run linux --write-out --yes --seed $seed --log run.log $quiet
    [ "$status" = 0 ] || fail "linux: status $status: $(cat "$work/linux.err")"
    program=VornackBuilder.com run windows /write-out /yes --seed $seed /log:run.log $quiet
    [ "$status" = 0 ] || fail "windows: status $status: $(cat "$work/windows.err")"
done
for edition in linux windows; do
    [ ! -s "$work/$edition.out" ] || fail "$edition --quiet printed: $(cat "$work/$edition.out")"
    [ "$(grep -c '開始 (start)' "$work/$edition/run.log")" = 2 ] || fail "$edition: run.log holds not two runs"
done
# The Windows log file: one byte-order mark, at its start, and CR LF at every line's end.
[ "$(head -c3 "$work/windows/run.log")" = $'\xef\xbb\xbf' ] && [ "$(grep -c $'\xef\xbb\xbf' "$work/windows/run.log")" = 1 ] ||
    fail "windows: run.log does not start with one byte-order mark"
! tail -c +4 "$work/windows/run.log" | grep -qv $'\r$' || fail "windows: run.log has a line without CR LF"

# The log as the window shows it (its warnings name each edition's own paths), between the
# run's first and last lines: UTF-8, with CR LF from the Windows edition.
half=$(($(wc -l <"$work/linux/run.log") / 2))
tr -d '\r' <"$work/windows/run.log" | tail -n $half >"$work/windows.log"
tail -n $half "$work/linux/run.log" >"$work/linux.log"
for log in linux.log windows.log; do
    [ "$(sed -n 2p "$work/$log")" = 実行中でありんす。 ] && [ "$(tail -n2 "$work/$log" | head -n1)" = 完了しますた。 ] &&
        grep -q "^[0-9T:+-]* VornackBuilder\[[0-9]*\] $version 開始 (start) server=\"ホスト.example.jp\" .* pages=\"6\" .* seed=$seed " "$work/$log" &&
        tail -n1 "$work/$log" | grep -q ' pages-written=6 .* outcome=done$' &&
        [ "$(grep -c '^【警報】' "$work/$log")" -le 1 ] || fail "$log: $(cat "$work/$log")"
done

pages=$(find "$work/linux/local" -name '*.html' | wc -l)
[ "$pages" = 7 ] || fail "the Linux run wrote $pages pages, not 6 pages and index.html"
for edition in linux windows; do
    cmp "$work/settings.ini" "$work/$edition/VornackBuilder.ini" || fail "$edition changed the settings file"
done
diff -r -x VornackBuilder -x 'VornackBuilder.[ec][xo][em]' -x run.log "$work/linux" "$work/windows"

# Two runs started at the same moment in two program folders draw different pages; the seed
# the first one logged makes its bytes again.
for copy in 1 2 3; do
    rm -rf "$work/fresh$copy"
    cp -r "$work/linux" "$work/fresh$copy"
    rm -rf "$work/fresh$copy/local/"* "$work/fresh$copy/run.log"
done
(cd "$work/fresh1" && ./VornackBuilder --write-out --yes >out) &
(cd "$work/fresh2" && ./VornackBuilder --write-out --yes >out) &
wait
diff -rq "$work/fresh1/local" "$work/fresh2/local" >/dev/null && fail "two runs at one moment made the same pages"
logged=$(sed -n 's/.* seed=\([0-9]*\) .*/\1/p' "$work/fresh1/out")
(cd "$work/fresh3" && ./VornackBuilder --write-out --yes --seed "$logged" >out)
diff -r "$work/fresh1/local" "$work/fresh3/local" || fail "--seed $logged did not repeat the run"

# Entries spaced with a tab or ideographic spaces: no password, wherever the run stops.
printf 'Server2=tab.example\tuser\tsecret\r\nServer3=ideo.example　user　secret\r\n' |
    iconv -f UTF-8 -t CP932 >>"$work/fresh3/VornackBuilder.ini"
for args in "--server nope" "--server tab.example" "--server ideo.example --yes"; do
    (cd "$work/fresh3" && ./VornackBuilder --write-out $args >out 2>&1) || true
    ! grep -q secret "$work/fresh3/out" || fail "$args printed a password: $(cat "$work/fresh3/out")"
done
grep -q ideo.example "$work/fresh3/out" || fail "no run for ideo.example: $(cat "$work/fresh3/out")"

# VornackBuilder.com without the .exe beside it: the reason on a redirected error stream and
# a status of its own.
mkdir -p "$work/alone"
cp "$work/windows/VornackBuilder.com" "$work/alone/"
status=0
"$wine_run" "$work/alone/VornackBuilder.com" /version >"$work/alone.out" 2>"$work/alone.err" || status=$?
[ "$status" = 71 ] && grep -q 'VornackBuilder.exe' "$work/alone.err" ||
    fail "VornackBuilder.com alone: status $status: $(cat "$work/alone.err")"

# The same write-out published by both editions to one server (plain FTP: Wine's Schannel
# cannot list over FTPS), each into its own folder: what lands is the same, byte for byte.
/usr/bin/python3 "$ftp_server" --tls none --user user --password secret --keep-stdin \
    --time-limit 120 >"$work/server.ready" 2>"$work/server.err" </dev/null &
server=$!
for _ in $(seq 100); do
    [ -s "$work/server.ready" ] && break
    sleep 0.1
done
read -r _ port _ root <"$work/server.ready" || fail "the FTP server did not start"
for edition in linux windows; do
    cp932 "Server2=127.0.0.1 user secret\r\n[Publish 127.0.0.1]\r\nProtocol=ftp\r\nPort=$port\r\n" \
        >>"$work/$edition/VornackBuilder.ini"
    cp932 "Folder=/公開/$edition\r\n" >>"$work/$edition/VornackBuilder.ini"
done
run linux --write-out --yes --server 127.0.0.1 --seed $seed --publish --quiet
[ "$status" = 0 ] || fail "linux publish: status $status: $(cat "$work/linux.err")"
program=VornackBuilder.com run windows /write-out /yes /server:127.0.0.1 /seed:$seed /publish /quiet
[ "$status" = 0 ] || fail "windows publish: status $status: $(cat "$work/windows.err")"
diff -r "$work/linux/local/127.0.0.1" "$root/公開/linux" || fail "linux: the remote folder differs from local"
diff -r "$root/公開/linux" "$root/公開/windows" || fail "the two editions published different bytes"
[ "$(ls "$root/公開/linux" | wc -l)" = 7 ] || fail "published: $(ls "$root/公開/linux")"
kill $server
echo "both programs wrote the same $pages pages from the command line"
