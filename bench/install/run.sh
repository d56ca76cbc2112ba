#!/bin/bash
# A whole install worker against the sum of its bare parts, on the same
# archive (~200 MB in ~1500 files) served by nginx from tmpfs and extracted
# to tmpfs, alternating in every round:
#   worker  install_worker_host: download with progress, extraction,
#           shortcut, statistics report (one process)
#   signed  the same worker as a signed channel: it also fetches the
#           archive's signature file and checks it before extracting
#   bare    a loop of WriteFile and reads of what has arrived, as the
#           worker reads (no file stamp, no progress, no resume), then one
#           ExtractArchive call (two processes)
#   native  curl -o, then unzip -q, for scale
# Prints the median wall time of each, what the signature check adds, the
# ratio bare/worker (1.0: the pipeline costs nothing beyond its parts) and,
# last, native/worker.
#   bench/install/run.sh [BUILD_DIR] [ROUNDS]
# BUILD_DIR is a configured cross build (default: build); ROUNDS defaults to 3.
set -euo pipefail

src=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$src/build}" && pwd)
rounds=${2:-3}

. "$src/bench/common.sh"
bench_programs install_worker_host=host download_bench=download extract_bench=extract desktop_keeper=keeper
archive=$(bench_archive)

work=$(mktemp -d /dev/shm/lobby-install-bench.XXXXXX)
trap bench_cleanup EXIT

start_nginx "$work"
serve_file "$archive" archive.zip
# A throwaway key for the signed channel.
minisign -G -W -p "$work/bench.pub" -s "$work/bench.key" >/dev/null
minisign -S -s "$work/bench.key" -m "$work/data/archive.zip" -x "$work/data/archive.zip.minisig" >/dev/null
chmod 644 "$work/data/archive.zip.minisig"
keys=$(sed -n 2p "$work/bench.pub")
# The worker's host makes a window; the bare programs make none.
bench_bed bench-install-bed "" "$keeper"

run_tool() {  # tool round
    local out=$work/out-$1-$2
    mkdir -p "$out"
    case $1 in
    worker | signed)
        local signing=()
        [ "$1" = signed ] && signing=(--keys "$keys")
        "$src/tests/bed/wine-run" "$host" --transcript "$(winpath "$out/transcript.txt")" \
            --update "127.0.0.1:$port" --path /archive.zip --stats "127.0.0.1:$port" \
            --root "$(winpath "$out/root")\\" "${signing[@]}" >/dev/null
        grep -q '^end 3' "$out/transcript.txt" || { echo "the $1 worker did not install" >&2; exit 1; }
        ;;
    bare)
        "$src/tests/bed/wine-run" "$download" arrived "127.0.0.1:$port" /archive.zip \
            "$(winpath "$out/archive.zip")" >/dev/null
        "$src/tests/bed/wine-run" "$extract" "$(winpath "$out/archive.zip")" "$(winpath "$out/root")\\"
        ;;
    native)
        curl --noproxy '*' -s -o "$out/archive.zip" "http://127.0.0.1:$port/archive.zip"
        unzip -q "$out/archive.zip" -d "$out/root"
        ;;
    esac
}

tools=(worker signed bare native)
declare -A times
for ((r = -1; r < rounds; r++)); do  # round -1 warms up, untimed
    for ((k = 0; k < ${#tools[@]}; k++)); do
        tool=${tools[$(((r + ${#tools[@]} + k) % ${#tools[@]}))]}
        start=$(date +%s%N)
        run_tool "$tool" "$r"
        end=$(date +%s%N)
        [ "$r" -ge 0 ] && times[$tool]+="$((end - start)) "
        rm -rf "$work/out-$tool-$r"
    done
done

python3 - "$bytes" "$rounds" "${times[worker]}" "${times[signed]}" "${times[bare]}" "${times[native]}" <<'PY'
import statistics, sys
size, rounds = int(sys.argv[1]), int(sys.argv[2])
median = {}
print('archive: %.1f MB from nginx on 127.0.0.1 to tmpfs, %d rounds' % (size / 1e6, rounds))
for name, text in zip(('worker', 'signed', 'bare', 'native'), sys.argv[3:]):
    secs = [int(t) / 1e9 for t in text.split()]
    median[name] = statistics.median(secs)
    print('%-7s median %.3f s  (min %.3f s, max %.3f s)' % (name, median[name], min(secs), max(secs)))
print('signed/worker: %.3f (the signature check adds %+.1f %%)' %
      (median['signed'] / median['worker'], (median['signed'] / median['worker'] - 1) * 100))
print('ratio bare/worker: %.3f' % (median['bare'] / median['worker']))
print('ratio native/worker: %.3f' % (median['native'] / median['worker']))
PY
