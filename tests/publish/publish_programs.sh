#!/usr/bin/env bash
# The real Linux program publishing to a real FTP(S) server on 127.0.0.1, as a scheduled run
# does it: a write-out then a publish leaves the remote folder equal to the output folder
# with the user's own file untouched, while a visitor who follows every link of the live
# index never meets a missing or short page; a second publish sends nothing; a publish cut
# off half-way leaves the site whole and the next one sends only the rest; plain FTP is
# refused unless the settings say so; an untrusted certificate, a wrong password and a
# server that is down each end with their own status, the settings file untouched.
#   publish_programs.sh linux-program template.html ftp_server.py work-folder
set -euo pipefail
program=$1 template=$2 server_script=$3 work=$4
python=/usr/bin/python3  # Debian's, which has pyftpdlib and pyOpenSSL

fail() {
    echo "$1" >&2
    for f in "$work"/run.out "$work"/run.err; do [ -f "$f" ] && sed 's/^/  | /' "$f" >&2; done
    exit 1
}
servers=()
cleanup() { for pid in "${servers[@]}"; do kill "$pid" 2>/dev/null || true; done; }
trap cleanup EXIT

# serve NAME ARGS...: starts a server on a root of its own; $port, $pin and $root are its.
serve() {
    local name=$1
    shift
    root=$work/$name
    mkdir -p "$root/www"
    "$python" "$server_script" --root "$root" --log "$work/$name.log" --time-limit 300 --keep-stdin "$@" \
        >"$work/$name.ready" 2>"$work/$name.err" &
    servers+=($!)
    for _ in $(seq 100); do grep -q READY "$work/$name.ready" && break; sleep 0.1; done
    read -r _ port pin _ <"$work/$name.ready" || fail "server $name did not start"
}
# settings PORT [LINES...]: the settings file for server 127.0.0.1, its section's lines after.
settings() {
    local port=$1
    shift
    {
        printf '[Setting]\r\nServer1=127.0.0.1 user secret\r\nPrevServer=0\r\nTitle1=t\r\n'
        printf 'PrevTitle=0\r\nSrcPath=src\r\nMakePageNum=%s\r\nPagePerSrcNum=2\r\n' "${pages:-40}"
        printf '[Publish 127.0.0.1]\r\nPort=%s\r\nFolder=/www\r\n' "$port"
        for line in "$@"; do printf '%s\r\n' "$line"; done
    } >"$work/app/VornackBuilder.ini"
}
run() {
    status=0
    (cd "$work/app" && ./VornackBuilder "$@") >"$work/run.out" 2>"$work/run.err" || status=$?
}
same_site() { diff -r -x robots.txt "$work/app/local/127.0.0.1" "$1/www" >/dev/null; }
sent() { grep -o 'sent=[0-9]*' "$work/run.out" | tail -1 | cut -d= -f2; }

rm -rf "$work"
mkdir -p "$work/app/local" "$work/app/src"
cp "$program" "$work/app/VornackBuilder"
cp "$template" "$work/app/template.html"
for i in $(seq 30); do printf 'ソース %s の文\r\n' "$i" | iconv -f UTF-8 -t CP932 >"$work/app/src/$i.txt"; done

# TLS with the test's certificate trusted by its pin; a delay on every reply so that the
# visitor sees the publish under way.
serve tls --delay 0.01
printf 'the user\x27s own\n' >"$root/www/robots.txt"
settings "$port" "Certificate=$pin" "Connections=3"
"$python" - "$root/www" "$work/app/local/127.0.0.1" "$work/visitor.txt" <<'PY' &
import os, re, sys, time
site, local, report = sys.argv[1:]
seen, broken, end = 0, [], time.time() + 120
while time.time() < end and not os.path.exists(report + ".stop"):
    try:
        index = open(os.path.join(site, "index.html"), "rb").read()
    except FileNotFoundError:
        time.sleep(0.005)
        continue
    seen += 1
    for link in set(re.findall(rb'href="([^"/:]+)"', index)):
        name = link.decode("ascii", "replace")
        path = os.path.join(site, name)
        if not os.path.exists(path) or os.path.getsize(path) != os.path.getsize(os.path.join(local, name)):
            broken.append(name)
open(report, "w").write("%d %s\n" % (seen, " ".join(broken)))
PY
visitor=$!
run --write-out --yes --publish --quiet --log night.log
touch "$work/visitor.txt.stop"
wait "$visitor"
[ "$status" = 0 ] || fail "write-out and publish: status $status"
# The night's log holds both parts, each from its first line to its last.
[ "$(grep -c ' outcome=done$' "$work/app/night.log")" = 2 ] &&
    grep -q ' 公開開始 (publish) ' "$work/app/night.log" || fail "the log lacks a part: $(cat "$work/app/night.log")"
same_site "$root" || fail "the remote folder differs from the output folder"
[ "$(cat "$root/www/robots.txt")" = "the user's own" ] || fail "the user's file was touched"
read -r seen broken <"$work/visitor.txt" || true
[ "${seen:-0}" -gt 0 ] || fail "the visitor never read the index"
[ -z "${broken:-}" ] || fail "the visitor met broken links: $broken"
run --publish
[ "$status" = 0 ] && [ "$(sent)" = 0 ] || fail "a second publish sent $(sent) (status $status)"

# A new write-out replaces every page: the old ones go, the user's file stays.
run --write-out --yes --publish
[ "$status" = 0 ] && same_site "$root" || fail "a second write-out's publish: status $status"
[ -f "$root/www/robots.txt" ] || fail "the user's file was deleted"

# Every upload cut off, retries and all: the publish stops with the site as it was.
serve drop --drop-after 0
settings "$port" "Certificate=$pin" "Connections=1"
run --write-out --yes --publish
[ "$status" = 75 ] || fail "a publish cut off: status $status, not 75"
[ ! -f "$root/www/index.html" ] || fail "the index went out before its pages"

# Killed after ten files: the site is whole (the index still to come); the next publish
# sends only the rest.
serve kill --delay 0.05
settings "$port" "Certificate=$pin" "Connections=1"
(cd "$work/app" && exec ./VornackBuilder --publish --quiet) &
publisher=$!
for _ in $(seq 300); do [ "$(grep -c '^STOR' "$work/kill.log")" -ge 10 ] && break; sleep 0.05; done
kill -9 "$publisher"
wait "$publisher" || true
[ ! -f "$root/www/index.html" ] || fail "the index went out before its pages"
run --publish
[ "$status" = 0 ] && same_site "$root" || fail "the resumed publish: status $status"
[ "$(sent)" -lt 35 ] || fail "the resumed publish sent everything again ($(sent) files)"

# SIGTERM (a timeout wrapper, a shutdown) stops a publish after its steps under way: the
# site whole, the log's last line written, 143.
serve term --delay 0.05
settings "$port" "Certificate=$pin" "Connections=1"
(cd "$work/app" && exec ./VornackBuilder --write-out --yes --publish --quiet --log term.log) &
publisher=$!
for _ in $(seq 300); do [ "$(grep -c '^STOR' "$work/term.log")" -ge 5 ] && break; sleep 0.05; done
kill -TERM "$publisher"
status=0
wait "$publisher" || status=$?
[ "$status" = 143 ] && tail -1 "$work/app/term.log" | grep -q ' outcome=stopped$' ||
    fail "a publish ended by SIGTERM: status $status, $(tail -1 "$work/app/term.log")"
[ ! -f "$root/www/index.html" ] || fail "the index went out before its pages"

# What is refused, each with its status, the settings file as it was.
settings "$port"
before=$(md5sum <"$work/app/VornackBuilder.ini")
run --publish
[ "$status" = 76 ] && grep -q "Certificate=$pin" "$work/run.err" || fail "an untrusted certificate: status $status"
[ "$(md5sum <"$work/app/VornackBuilder.ini")" = "$before" ] || fail "the command line wrote the settings file"
serve plain --tls none
settings "$port"
run --publish
[ "$status" = 76 ] || fail "a server without TLS: status $status, not 76"
grep -q 'PASS' "$work/plain.log" && fail "the password went out in clear"
settings "$port" "Protocol=ftp"
run --publish
[ "$status" = 0 ] && same_site "$root" || fail "plain FTP when the settings say so: status $status"
sed -i 's/user secret/user wrong-pw/' "$work/app/VornackBuilder.ini"
run --publish
[ "$status" = 77 ] || fail "a wrong password: status $status, not 77"
grep -rq 'wrong-pw' "$work/run.out" "$work/run.err" && fail "the password was shown"
# A bad publish setting refuses a write-out and publish before the write-out replaces a page.
settings "$port" "Protocol=ftp" "Connections=99"
pages_before=$(ls "$work/app/local/127.0.0.1")
run --write-out --yes --publish
[ "$status" = 3 ] && grep -q Connections "$work/run.err" || fail "a bad setting: status $status"
[ "$(ls "$work/app/local/127.0.0.1")" = "$pages_before" ] || fail "a bad setting let the write-out run"
settings "$port" "Protocol=ftp"
kill "${servers[-1]}"
sleep 0.5
run --publish
[ "$status" = 69 ] || fail "a server that is down: status $status, not 69"
echo "publish through the real program: all passed"
