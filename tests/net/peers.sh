#!/bin/bash
# HTTP peers of the download tests: nginx and the fault server, on free
# ports of 127.0.0.1, serving the files generated into DIR/data.
#   peers.sh up DIR [--port PORT] [--nginx-only] [--slow-statistics]
#                       generate the files, start both, wait until they answer
#   peers.sh down DIR   stop them by process id
# --port puts nginx on that port of 127.0.0.1 (a program built for a fixed
# update host needs it there); --nginx-only starts nginx alone, with an empty
# DIR/data for the tests to fill; --slow-statistics makes nginx's answer to
# a statistics report (6 KB) take about two seconds.
# DIR/ports then holds "nginx <port>", "fault <port>" and "faultseed <seed>";
# DIR/data/SHA256SUMS the digests of the served files. The fault server's
# random cuts take a new seed each time unless LOBBY_FAULT_SEED gives one,
# which replays the cuts of an earlier run (its seed is in DIR/fault.log and
# in the output of a failed test).
set -u
cmd=$1 dir=$2
shift 2
fixed_port="" nginx_only="" stats_rate=0
while [ $# -gt 0 ]; do
    case $1 in
    --port) fixed_port=$2; shift 2 ;;
    --nginx-only) nginx_only=1; shift ;;
    --slow-statistics) stats_rate=2k; shift ;;
    *) echo "peers.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
here=$(cd "$(dirname "$0")" && pwd)
tools=$here/../../tools

stop() {
    for f in "$dir"/nginx.pid.run "$dir"/fault.pid; do
        [ -f "$f" ] || continue
        pid=$(cat "$f")
        kill "$pid" 2>/dev/null
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$pid" 2>/dev/null
        rm -f "$f"
    done
}

free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# Free for a listener: connections of an earlier run still in TIME_WAIT do
# not count, as nginx binds with SO_REUSEADDR too.
port_is_free() {
    python3 -c '
import socket, sys
s = socket.socket()
s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind(("127.0.0.1", int(sys.argv[1])))' "$1" 2>/dev/null
}

answers() {
    curl --noproxy '*' -s -o /dev/null -m 2 "http://127.0.0.1:$1/" 2>/dev/null
}

make_data() {
    local data=$dir/data
    mkdir -p "$data"
    # Fixed seeds keep the objects the same from run to run.
    python3 - "$data" <<'PY'
import random, sys
sizes = {"small.bin": 100000, "big.bin": 10485760, "cuts.bin": 4194304, "empty.bin": 0}
for name, size in sizes.items():
    with open(sys.argv[1] + "/" + name, "wb") as f:
        f.write(random.Random(name).randbytes(size))
PY
    touch -d "2021-03-04 05:06:07 UTC" "$data"/*.bin
    (cd "$data" && sha256sum *.bin > SHA256SUMS)
}

start_nginx() {
    local port tries=5
    # A fixed port is not traded for another: the program under test would
    # not find it.
    if [ -n "$fixed_port" ]; then
        tries=1
        port_is_free "$fixed_port" || { echo "port $fixed_port of 127.0.0.1 is taken" >&2; return 1; }
    fi
    for _ in $(seq $tries); do
        port=${fixed_port:-$(free_port)}
        sed -e "s|@DIR@|$dir|g" -e "s|@DATA@|$dir/data|g" -e "s|@PORT@|$port|g" -e "s|@STATS_RATE@|$stats_rate|g" \
            "$here/nginx.conf.in" > "$dir/nginx.conf"
        nginx -p "$dir/" -c "$dir/nginx.conf" -e "$dir/nginx-error.log" >/dev/null 2>&1 &
        echo $! > "$dir/nginx.pid.run"
        for _ in $(seq 50); do
            answers "$port" && { echo "nginx $port" >> "$dir/ports"; return 0; }
            kill -0 "$(cat "$dir/nginx.pid.run")" 2>/dev/null || break
            sleep 0.1
        done
        stop
    done
    echo "nginx did not start on ${port:-a free port}; see $dir/nginx-error.log" >&2
    return 1
}

start_fault() {
    local seed=${LOBBY_FAULT_SEED:-$(python3 -c 'import random; print(random.SystemRandom().randrange(2**31))')}
    if ! [[ $seed =~ ^[0-9]+$ ]] || [ "$seed" -ge 2147483648 ]; then
        echo "LOBBY_FAULT_SEED must be a number below 2^31, not '$seed'" >&2
        return 1
    fi
    python3 "$tools/http_fault_server.py" "$dir/data" "$dir/fault.port" "$seed" >"$dir/fault.log" 2>&1 &
    echo $! > "$dir/fault.pid"
    for _ in $(seq 50); do
        if [ -f "$dir/fault.port" ] && answers "$(cat "$dir/fault.port")"; then
            echo "fault $(cat "$dir/fault.port")" >> "$dir/ports"
            echo "faultseed $seed" >> "$dir/ports"
            return 0
        fi
        sleep 0.1
    done
    echo "fault server did not start; see $dir/fault.log" >&2
    return 1
}

case $cmd in
up)
    stop
    rm -rf "$dir"
    mkdir -p "$dir/tmp" "$dir/data"
    if [ "$stats_rate" = 0 ]; then
        printf 'ok' > "$dir/statistics-answer.txt"
    else
        python3 -c 'import sys; sys.stdout.write("ok" + "\0" * 6142)' > "$dir/statistics-answer.txt"
    fi
    [ -n "$nginx_only" ] || make_data
    start_nginx || { stop; exit 1; }
    [ -n "$nginx_only" ] || start_fault || { stop; exit 1; }
    cat "$dir/ports"
    ;;
down)
    stop
    echo "peers stopped"
    ;;
*)
    echo "usage: $0 up DIR [--port PORT] [--nginx-only] [--slow-statistics] | down DIR" >&2
    exit 2
    ;;
esac
