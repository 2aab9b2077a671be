#!/usr/bin/env bash
# The Windows edition's publish through VornackBuilder.com under Wine, against the test
# server on the Linux side (tests/support/ftp_server.py on 127.0.0.1), as a scheduled task
# runs it: /write-out /yes /publish /log:…, its exit statuses, a visitor during the publish,
# a dropped connection, and over FTPS what Wine's Schannel can show (see the read-me).
# The program folder and the remote folder have Japanese names.
#   publish_wine.sh VornackBuilder.exe wine_run.sh ftp_server.py visitor.py template.html work
set -euo pipefail
program=$1 wine_run=$2 ftp_server=$3 visitor=$4 template=$5 work=$6
source "$(dirname "$0")/../crossed/program_folder.sh"
python=/usr/bin/python3 # Debian's, with pyftpdlib and pyOpenSSL

fail() {
    echo "$1" >&2
    exit 1
}
servers=()
# stop: ends the last server started and waits until its port is free again.
stop() {
    kill "${servers[-1]}"
    wait "${servers[-1]}" 2>/dev/null || true
}
trap 'for pid in "${servers[@]}"; do kill "$pid" 2>/dev/null || true; done' EXIT

# serve NAME ARGS...: starts a server for this test; its port, pin and root in $port, $pin
# and $root, its log in $work/NAME.log. Each server after the first takes its port (one
# destination to the publish, whose manifest counts for it alone).
serve() {
    local name=$1
    shift
    rm -f "$work/$name.ready" "$work/$name.log"
    "$python" "$ftp_server" --keep-stdin --time-limit 280 --log "$work/$name.log" --port "${port:-0}" "$@" \
        >"$work/$name.ready" &
    servers+=($!)
    for _ in $(seq 100); do
        [ -s "$work/$name.ready" ] && break
        sleep 0.1
    done
    read -r ready port pin root <"$work/$name.ready" || fail "$name: the server did not start"
    [ "$ready" = READY ] || fail "$name: $(cat "$work/$name.ready")"
}
# section PROTOCOL [LINES...]: the server's [Publish] section for $port, in place of any.
section() {
    local protocol=$1
    shift
    LC_ALL=C sed -i '/^\[Publish /,$d' "$folder/VornackBuilder.ini"
    {
        cp932 "[Publish 127.0.0.1]\r\nProtocol=$protocol\r\nPort=$port\r\nFolder=/公開/サイト\r\n"
        for line in "$@"; do cp932 "$line\r\n"; done
    } >>"$folder/VornackBuilder.ini"
}
# run ARGS...: the .com in the program folder; $status, $work/out and $work/err.
run() {
    status=0
    (cd "$folder" && "$wine_run" ./VornackBuilder.com "$@") >"$work/out" 2>"$work/err" || status=$?
}
expect() {
    [ "$status" = "$1" ] || fail "$2: status $status, not $1: $(cat "$work/err")"
}
# The remote folder holds the output folder's files byte for byte, and the user's own files.
same_as_local() {
    diff -r -x .htaccess "$folder/local/127.0.0.1" "$root/公開/サイト" || fail "$1: the remote folder differs"
    [ "$(cat "$root/公開/サイト/.htaccess")" = "the user's own" ] || fail "$1: .htaccess touched"
}

rm -rf "$work"
folder="$work/プログラム フォルダ"
make_folder "$folder"
cp "$program" "$(dirname "$program")/VornackBuilder.com" "$folder/"
LC_ALL=C sed -i 's/^Server1=[^\r]*/Server1=127.0.0.1 user secret/' "$folder/VornackBuilder.ini"
seed=20240607

# Plain FTP, as asked for by name: written out and published in one run, the log's first and
# last lines in the --log file; the user's .htaccess stays.
serve plain --tls none
mkdir -p "$root/公開/サイト"
echo "the user's own" >"$root/公開/サイト/.htaccess"
section ftp
run /write-out /yes /seed:$seed /publish /log:publish.log
expect 0 "plain FTP"
same_as_local "plain FTP"
tr -d '\r' <"$folder/publish.log" | grep -q ' 公開開始 (publish) server="127.0.0.1" folder="/公開/サイト" protocol=ftp ' ||
    fail "no first line of the publish: $(cat "$folder/publish.log")"
tr -d '\r' <"$folder/publish.log" | tail -n1 | grep -q ' sent=7 .* outcome=done$' ||
    fail "last line: $(tail -n1 "$folder/publish.log")"
! grep -q secret "$folder/publish.log" "$work/out" "$work/err" || fail "the password was shown"
# Again, /publish alone: nothing is sent.
run /publish
expect 0 "the second publish"
tr -d '\r' <"$work/out" | tail -n1 | grep -q ' sent=0 renamed=0 deleted=0 kept=7 ' || fail "again: $(tail -n1 "$work/out")"

# A visitor during a slow publish of new pages never meets a missing or short page: each
# index.html read links only pages that are whole, of the old write-out or the new one.
cp -r "$folder/local/127.0.0.1" "$work/old"
run /write-out /yes /seed:$((seed + 1))
expect 0 "the second write-out"
stop
serve slow --tls none --delay 0.05 --root "$root"
section ftp
(cd "$folder" && "$wine_run" ./VornackBuilder.com /publish >"$work/slow.out" 2>&1; echo $? >"$work/slow.status") &
publisher=$!
"$python" "$visitor" "$root/公開/サイト" "$work/old" "$folder/local/127.0.0.1" "$work/slow.status" ||
    fail "the visitor met a broken link"
wait $publisher
[ "$(cat "$work/slow.status")" = 0 ] || fail "the slow publish: $(cat "$work/slow.out")"
same_as_local "the slow publish"

# A connection dropped after two files is made again and the publish finishes, sending each
# file once: the pages sent before the drop are not sent again.
run /write-out /yes /seed:$((seed + 2))
stop
serve drop --tls none --drop-after 2 --drops 1 --root "$root"
section ftp Connections=1
run /publish
expect 0 "after a dropped connection"
same_as_local "after a dropped connection"
grep -q '^DROP STOR' "$work/drop.log" || fail "the server dropped nothing"
sent=$(tr -d '\r' <"$work/out" | tail -n1 | sed -n 's/.* sent=\([0-9]*\) .*/\1/p')
[ "$(grep -c '^STOR' "$work/drop.log")" = $((sent + 1)) ] || fail "files sent again: $(grep '^STOR' "$work/drop.log")"

# A wrong password: 77; a server that is down: 69.
stop
serve wrong --tls none --password other
section ftp
run /publish
expect 77 "a wrong password"
stop
run /publish /log:down.log
expect 69 "a server that is down"
tr -d '\r' <"$folder/down.log" | tail -n1 | grep -q 'outcome=' || fail "no last line for a server that is down"

# FTPS. A server that offers no TLS never sees the user: 76. Under Wine 8 Schannel checks no
# certificate and fails every TLS data connection, so only the pin and the login inside TLS
# are tested: a wrong pin is refused (76) before the login; with the right one the login goes
# inside TLS.
serve notls --tls none
section ftps
run /publish
expect 76 "a server without TLS"
! grep -q '^\(USER\|PASS\)' "$work/notls.log" || fail "the login went out in clear"
stop
serve tls --tls explicit
section ftps "Certificate=sha256//AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA="
run /publish
expect 76 "a wrong pin"
! grep -q '^\(USER\|PASS\)' "$work/tls.log" || fail "a wrong pin: the login went out"
section ftps "Certificate=$pin"
: >"$work/tls.log"
run /publish
grep -q '^TLS control' "$work/tls.log" && grep -q '^PASS' "$work/tls.log" || fail "no login over TLS: $(cat "$work/tls.log")"
[ "$(grep -m1 -n '^\(TLS control\|PASS\)' "$work/tls.log" | cut -d: -f2 | cut -c1-3)" = TLS ] ||
    fail "the password went before TLS"
# Ctrl+C, which a console sends to the .com and the .exe alike (here SIGINT to both Wine
# processes): a write-out writes its last line and ends with 130; a publish stops after its
# steps under way, its last line written, and the .com waits for it and returns its 130.
# interrupt WAIT_FOR ARGS...: the .com run, SIGINT to both once WAIT_FOR is in run.log.
interrupt() {
    local wait_for=$1
    shift
    rm -f "$folder/run.log"
    (cd "$folder" && "$wine_run" ./VornackBuilder.com "$@" /log:run.log) >"$work/out" 2>"$work/err" &
    local launcher=$! status=0
    for _ in $(seq 300); do grep -qF "$wait_for" "$folder/run.log" 2>/dev/null && break || sleep 0.1; done
    local pid
    for pid in $(pgrep -f 'VornackBuilder\.(com|exe) /'); do # this run's: started in its folder
        [ "$(readlink "/proc/$pid/cwd")" = "$folder" ] && kill -INT "$pid"
    done
    wait $launcher || status=$?
    [ "$status" = 130 ] || fail "Ctrl+C during $*: status $status, not 130"
}
interrupt 実行中 /write-out /yes /quiet /pages:1000000
tail -n1 "$folder/run.log" | tr -d '\r' | grep -q ' outcome=terminated$' || fail "the write-out's last line: $(tail -n1 "$folder/run.log")"
stop
serve slow2 --tls none --delay 0.05
section ftp Connections=1
run /write-out /yes /pages:100
interrupt 送るファイル /publish
tail -n1 "$folder/run.log" | tr -d '\r' | grep -q ' outcome=stopped$' || fail "the publish's last line: $(tail -n1 "$folder/run.log")"
echo "published under Wine: plain FTP, a visitor, a dropped connection, statuses 77, 69, 76, Ctrl+C"
