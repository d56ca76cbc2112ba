#!/bin/bash
# `make run`: one whole installation under Wine, in a prefix of its own
# (BUILD/run-bed). The local installer downloads a generated client archive
# (the demo lobby.exe and a few megabytes of data) from nginx on 127.0.0.1,
# at this build's local port and slowly enough to watch, installs it and
# starts the client; the same nginx answers the statistics report.
#
# On a person's $DISPLAY the person clicks through. Without one, a private
# Xvfb is used and the run drives itself: a second start of the installer
# acts as a click on its main button (start, pause, continue). Screenshots
# go to BUILD/run-*.png. Only the processes started here are ended, by id.
#
# The local variant is built as a signed channel: every run makes a
# throwaway minisign key, builds the installer with its public key and
# signs the archive it serves, so the installation checks a signature.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
bed=$build/run-bed
www=$bed/www
exe=$build/run/Download_kp_local.exe
key=$build/run-key
demo=$build/tools/demo_client/lobby.exe
cache=$build/CMakeCache.txt
port=$(sed -n 's/^LOBBY_LOCAL_PORT:[A-Z]*=//p' "$cache")
arch=$(sed -n 's/^CMAKE_TOOLCHAIN_FILE:[A-Z]*=.*mingw-\(.*\)\.cmake$/\1/p' "$cache")
title_installer='客户端下载器'
title_client='Quillmoor 大厅'
# 16 files of 384 KiB, half of each random: an archive of about 3 MB, which
# takes about four seconds at this rate.
archive_files=16 archive_kb=384 rate=768k

say() { echo "run: $*"; }
fail() { echo "run: $*" >&2; exit 1; }

[ -n "$port" ] || fail "no LOBBY_LOCAL_PORT in $cache"
rm -rf "$key" && mkdir -p "$key"
minisign -G -W -p "$key/run.pub" -s "$key/run.key" >/dev/null || fail "minisign could not make a key"
cmake -S "$root" -B "$build" -DLOBBY_RUN_ARCHIVE_KEYS="$(sed -n 2p "$key/run.pub")" >/dev/null
cmake --build "$build" --target installer_run demo_client >/dev/null || fail "the signed local variant did not build"

if [ -n "${DISPLAY:-}" ]; then
    export LOBBY_DISPLAY=$DISPLAY
else
    unset LOBBY_DISPLAY
fi
# `up` first ends whatever an earlier run left in the bed's state folder,
# nginx included, so a run cut short does not hold the port. `down` is set
# first: an interrupted `up` may already have started Xvfb.
trap '"$root/tests/bed/testbed.sh" down "$bed" >/dev/null' EXIT
trap 'exit 130' INT TERM
"$root/tests/bed/testbed.sh" up "$bed" "${arch:-i686}"
eval "$("$root/tests/bed/testbed.sh" env "$bed")"
# Wine creates the web-browser control but, without a page engine, paints
# it white over the banner; without the control the skin shows there, as it
# does for players who have none.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;ieframe="

# --- The update host ------------------------------------------------------

mkdir -p "$www/data" "$www/tmp"
python3 "$root/tools/make_client_archive.py" "$www/data/quillmoor.zip" --client "$demo" \
    --files "$archive_files" --size-kb "$archive_kb" --seed run
archive_size=$(stat -c %s "$www/data/quillmoor.zip")
minisign -S -s "$key/run.key" -m "$www/data/quillmoor.zip" -x "$www/data/quillmoor.zip.minisig" >/dev/null \
    || fail "minisign could not sign the archive"

# A checkout below a closed home (/root) is unreadable for nginx's usual
# unprivileged workers; started by root, they stay root.
{
    [ "$(id -u)" = 0 ] && echo "user root root;"
    cat <<EOF
daemon off;
worker_processes 1;
pid $www/nginx.pid;
error_log $www/error.log warn;
events {
    worker_connections 64;
}
http {
    access_log $www/access.log;
    log_format report '\$request_uri';
    client_body_temp_path $www/tmp/body;
    proxy_temp_path $www/tmp/proxy;
    fastcgi_temp_path $www/tmp/fastcgi;
    uwsgi_temp_path $www/tmp/uwsgi;
    scgi_temp_path $www/tmp/scgi;
    default_type application/octet-stream;

    server {
        listen 127.0.0.1:$port;
        root $www/data;
        # What the start-up check asks for.
        location = / {
            return 200 "update host\n";
        }
        location = /quillmoor.zip {
            limit_rate $rate;
        }
        location = /ajax/quickDownLoadStatistics/quickDownStatistics.jsp {
            access_log $www/reports.log report;
            return 200 "ok";
        }
    }
}
EOF
} > "$www/nginx.conf"
nginx -p "$www/" -c "$www/nginx.conf" -e "$www/error.log" >/dev/null 2>&1 &
# testbed.sh down ends every process whose id is in the bed's state folder.
echo $! > "$bed/state/nginx.pid"
for _ in $(seq 50); do
    curl --noproxy '*' -s -o /dev/null -m 2 "http://127.0.0.1:$port/" && break
    kill -0 "$(cat "$bed/state/nginx.pid")" 2>/dev/null || { cat "$www/error.log" >&2; fail "nginx did not start on port $port"; }
    sleep 0.1
done
say "serving quillmoor.zip ($archive_size bytes, $rate/s) and its signature on http://127.0.0.1:$port/"

# --- Helpers --------------------------------------------------------------

# wait_until SECONDS COMMAND...: true once COMMAND succeeds, polling.
wait_until() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.1
    done
}

window_of() {
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1
}

has_window() { [ -n "$(window_of "$1")" ]; }

# The window's rectangle of the screen, as ImageMagick's crop geometry.
geometry_of() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "${WIDTH}x${HEIGHT}+${X}+${Y}"
}

grab() {
    import -display "$DISPLAY" -window root -crop "$(geometry_of "$1")" +repage "$2"
}

# A window has settled when two pictures of it a moment apart are the same:
# drawn, with no progress or animation moving.
settled() {
    local a b
    a=$(import -display "$DISPLAY" -window root -crop "$(geometry_of "$1")" +repage rgb:- | md5sum)
    sleep 0.2
    b=$(import -display "$DISPLAY" -window root -crop "$(geometry_of "$1")" +repage rgb:- | md5sum)
    [ "$a" = "$b" ]
}

shot() {
    grab "$1" "$build/run-$2.png"
    say "screenshot $build/run-$2.png ($3)"
}

# The install folder: "Quillmoor" below Program Files of drive C: or D:.
client_dir() {
    local d
    for d in c: d:; do
        [ -d "$WINEPREFIX/dosdevices/$d/Program Files/Quillmoor" ] || continue
        realpath "$WINEPREFIX/dosdevices/$d/Program Files/Quillmoor"
        return 0
    done
    return 1
}

partial_size() {
    local dir
    dir=$(client_dir) || { echo 0; return; }
    stat -c %s "$dir/kp_lobby.install" 2>/dev/null || echo 0
}

downloaded_share() {
    [ "$(partial_size)" -ge $(($1 * archive_size / 100)) ]
}

# Paused: the partial archive has not grown for a second.
download_stopped() {
    local last now
    last=$(partial_size)
    for _ in 1 2 3 4 5; do
        sleep 0.2
        now=$(partial_size)
        [ "$now" = "$last" ] || return 1
    done
}

program_ended() { ! kill -0 "$program" 2>/dev/null; }

# A second instance hands a click to the first and ends at once.
click_by_second_start() {
    $LOBBY_WINE "$app/$name" >>"$bed/installer.log" 2>&1 || fail "the second start failed"
}

report() {
    local dir
    if ! dir=$(client_dir) || [ ! -f "$dir/lobby.exe" ]; then
        say "the installer ended before the client was installed"
        return 1
    fi
    say "the client went to $dir"
    say "  ($(find "$dir" -type f | wc -l) files, $(du -sh "$dir" | cut -f1); shortcut: $(ls "$HOME"/Desktop/*.lnk 2>/dev/null || echo none))"
    wait_until 5 test -s "$www/reports.log" || true
    say "the statistics endpoint received:"
    python3 - "$www/reports.log" <<'PY'
import sys
from urllib.parse import parse_qsl, urlsplit
try:
    lines = open(sys.argv[1], encoding="utf-8", errors="replace").read().split()
except FileNotFoundError:
    lines = []
for line in lines:
    url = urlsplit(line)
    print("  GET " + url.path)
    for key, value in parse_qsl(url.query, keep_blank_values=True):
        print("      %s = %s" % (key, value))
if not lines:
    print("  nothing")
PY
}

# --- The installation -----------------------------------------------------

# The program and its files live in a folder of their own inside the prefix.
app=$WINEPREFIX/drive_c/run
name=$(basename "$exe")
mkdir -p "$app"
cp "$exe" "$app/"
cd "$app"
rm -f "$build"/run-*.png
say "starting $name ($arch)"
# What it prints (the statistics answer) goes to a log of its own.
$LOBBY_WINE "$app/$name" >"$bed/installer.log" 2>&1 &
program=$!
wait_until 30 has_window "$title_installer" || fail "the installer's window did not appear"

if [ -n "${LOBBY_DISPLAY:-}" ]; then
    say "the installer's window is on $DISPLAY: click 点击安装 to install (Ctrl+C ends the run)"
    rc=0
    wait "$program" || rc=$?
    say "the installer ended (exit code $rc)"
    report || exit 0
    if wait_until 30 has_window "$title_client"; then
        say "the client's window is open; close it to end"
        while has_window "$title_client"; do sleep 0.5; done
    fi
    exit 0
fi

window=$(window_of "$title_installer")
wait_until 10 settled "$window" || true
shot "$window" ready "ready to install"

click_by_second_start
wait_until 60 downloaded_share 30 || fail "the download did not get going"
shot "$window" downloading "download in progress"

click_by_second_start
wait_until 10 download_stopped || fail "the download did not pause"
[ "$(partial_size)" -lt "$archive_size" ] || say "the download had already finished before the pause"
wait_until 10 settled "$window" || true
shot "$window" paused "paused at $(partial_size) of $archive_size bytes"

click_by_second_start
wait_until 120 program_ended || fail "the installer did not finish"
rc=0
wait "$program" || rc=$?
say "the installer ended (exit code $rc)"
wait_until 30 has_window "$title_client" || { report || true; fail "the client's window did not appear"; }
client=$(window_of "$title_client")
wait_until 10 settled "$client" || true
shot "$client" started "the installed client started"
report
