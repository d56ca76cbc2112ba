# Shared pieces of the benchmark scripts; sourced, with $src and $build set.

# Builds the named targets and sets one variable per program to its path:
#   bench_programs download_bench=download extract_bench=extract
bench_programs() {
    local pair targets=()
    for pair in "$@"; do targets+=("${pair%%=*}"); done
    cmake --build "$build" --target "${targets[@]}" -j2 >/dev/null
    for pair in "$@"; do
        local found
        found=$(find "$build" -name "${pair%%=*}.exe" -print -quit)
        [ -n "$found" ] || { echo "${pair%%=*}.exe not built" >&2; exit 1; }
        printf -v "${pair#*=}" '%s' "$found"
    done
}

# The extraction archive (~200 MB in ~1500 files), made once per build
# folder and kept: it takes about half a minute. Prints its path.
bench_archive() {
    local cache=$build/bench-cache archive=$build/bench-cache/extract.zip
    if [ ! -f "$archive" ] || [ "$src/bench/extract/make_archive.py" -nt "$archive" ]; then
        mkdir -p "$cache"
        echo "generating $archive ..." >&2
        python3 "$src/bench/extract/make_archive.py" "$archive"
    fi
    echo "$archive"
}

# nginx on 127.0.0.1 serving WORK/data from tmpfs, with the statistics
# endpoint answered, on PORT or a free port; sets $port and $nginx_pid (the
# caller's cleanup ends it by that id).
start_nginx() {
    local work=$1
    mkdir -p "$work/data" "$work/tmp"
    chmod 755 "$work"  # nginx's worker runs as another user
    port=${2:-$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')}
    cat > "$work/nginx.conf" <<CONF
daemon off;
worker_processes 1;
pid $work/nginx.pid;
error_log $work/nginx-error.log warn;
events { worker_connections 64; }
http {
    access_log off;
    client_body_temp_path $work/tmp/body;
    proxy_temp_path $work/tmp/proxy;
    fastcgi_temp_path $work/tmp/fastcgi;
    uwsgi_temp_path $work/tmp/uwsgi;
    scgi_temp_path $work/tmp/scgi;
    default_type application/octet-stream;
    sendfile on;
    server {
        listen 127.0.0.1:$port;
        root $work/data;
        location /ajax/ { return 200 "ok"; }
    }
}
CONF
    nginx -p "$work/" -c "$work/nginx.conf" -e "$work/nginx-error.log" >/dev/null 2>&1 &
    nginx_pid=$!
    for _ in $(seq 50); do
        curl --noproxy '*' -s -o /dev/null -m 2 "http://127.0.0.1:$port/" && return 0
        sleep 0.1
    done
    echo "nginx did not start; see $work/nginx-error.log" >&2
    exit 1
}

stop_nginx() {
    if [ -n "${nginx_pid:-}" ]; then
        kill "$nginx_pid" 2>/dev/null || true
        wait "$nginx_pid" 2>/dev/null || true
    fi
}

# A test bed of its own (BUILD/NAME, for ARCH or the test architecture) with
# one persistent wineserver, so each run pays only its own start; wine-run
# and $LOBBY_WINE use it. With KEEPER (desktop_keeper.exe) the desktop is
# held for the whole bench: a program that makes a window does not pay for
# Wine's desktop process, started anew after the last program ends.
bench_bed() {
    bed=$build/$1
    "$src/tests/bed/testbed.sh" up "$bed" "${2:-$("$src/tools/target-arch.sh")}" ${3:+"$3"} >/dev/null
    export LOBBY_TESTBED=$bed
    eval "$("$src/tests/bed/testbed.sh" env "$bed")"
}

# Ends what a script started: nginx, its bed and its work folder.
bench_cleanup() {
    stop_nginx
    if [ -n "${bed:-}" ]; then
        "$src/tests/bed/testbed.sh" down "$bed" >/dev/null 2>&1 || true
        rm -rf "$bed"
    fi
    [ -z "${work:-}" ] || rm -rf "$work"
}

winpath() { echo "Z:${1//\//\\}"; }

# Serves FILE as NAME from nginx's data folder (readable by its worker);
# sets $bytes.
serve_file() {
    cp "$1" "$work/data/$2"
    chmod 644 "$work/data/$2"
    bytes=$(stat -c %s "$work/data/$2")
}
