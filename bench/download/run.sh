#!/bin/bash
# Download throughput from nginx on 127.0.0.1: native `curl -o`, bare
# reference loops under Wine (blocking InternetReadFile of 64 KB and of 4096
# bytes, and reads of what has arrived as DownloadFile reads; each then
# WriteFile, nothing else) and our DownloadFile under Wine, alternating in
# every round, all writing to tmpfs. Prints the median of each and the
# ratios of ours to the 4096-byte loop, to the loop that reads as ours does
# and to curl; the last line is the ratio ours/64 KB loop.
#   bench/download/run.sh [BUILD_DIR] [ROUNDS]
# BUILD_DIR is a configured cross build (default: build beside this
# repository's sources, as `make build` makes it); ROUNDS defaults to 5; the
# benchmark program is built first. Each WinINet read costs about
# the same whatever else runs, but that cost differs between an idle and a
# busy machine: compare only figures of one run.
set -euo pipefail

src=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$src/build}" && pwd)
rounds=${2:-5}
size_mb=200

. "$src/bench/common.sh"
bench_programs download_bench=exe

work=$(mktemp -d /dev/shm/lobby-download-bench.XXXXXX)
trap bench_cleanup EXIT

# The object lives on tmpfs too, so the server reads from memory.
mkdir -p "$work/data" "$work/tmp" "$work/out"
head -c $((size_mb * 1024 * 1024)) /dev/urandom > "$work/data/object.bin"
bytes=$(stat -c %s "$work/data/object.bin")

start_nginx "$work"

bench_bed bench-download-bed
wine_out='Z:'${work//\//\\}'\out\object.bin'

run_tool() {  # tool; prints "<bytes> <seconds>"
    rm -f "$work/out/object.bin"
    case $1 in
    curl)
        curl --noproxy '*' -s -o "$work/out/object.bin" -w '%{size_download} %{time_total}\n' \
            "http://127.0.0.1:$port/object.bin"
        ;;
    loop64k) "$src/tests/bed/wine-run" "$exe" bare "127.0.0.1:$port" /object.bin "$wine_out" 65536 ;;
    bare) "$src/tests/bed/wine-run" "$exe" bare "127.0.0.1:$port" /object.bin "$wine_out" 4096 ;;
    arrived) "$src/tests/bed/wine-run" "$exe" arrived "127.0.0.1:$port" /object.bin "$wine_out" ;;
    ours) "$src/tests/bed/wine-run" "$exe" ours "127.0.0.1:$port" /object.bin "$wine_out" ;;
    esac
}

tools=(curl loop64k bare arrived ours)
# Warm-up round, untimed; it also checks that every tool got the object.
for tool in "${tools[@]}"; do
    got=$(run_tool "$tool" | tr -d '\r')
    [ "${got%% *}" = "$bytes" ] || { echo "$tool fetched '$got', not $bytes bytes" >&2; exit 1; }
    cmp -s "$work/data/object.bin" "$work/out/object.bin" || { echo "$tool wrote other bytes" >&2; exit 1; }
done

declare -A rates
for ((r = 0; r < rounds; r++)); do
    # Rotate the order so no tool always runs first or last.
    for ((k = 0; k < ${#tools[@]}; k++)); do
        tool=${tools[$(((r + k) % ${#tools[@]}))]}
        read -r got seconds < <(run_tool "$tool" | tr -d '\r')
        rates[$tool]+="$(awk -v b="$got" -v s="$seconds" 'BEGIN { printf "%.1f", b / s / 1e6 }') "
    done
done

median() { tr ' ' '\n' | grep -v '^$' | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

echo "object: $size_mb MiB from nginx on 127.0.0.1, $rounds rounds, load average $(cut -d' ' -f1-3 /proc/loadavg)"
for tool in "${tools[@]}"; do
    case $tool in
    curl) label="curl -o (native)" ;;
    loop64k) label="64 KB InternetReadFile loop" ;;
    bare) label="bare 4096-byte loop" ;;
    arrived) label="bare loop, reads as ours" ;;
    ours) label="ours (DownloadFile)" ;;
    esac
    printf '%-30s median %8s MB/s   (runs: %s)\n' "$label" "$(echo "${rates[$tool]}" | median)" "${rates[$tool]% }"
done
ratio() {  # label tool
    awk -v o="$(echo "${rates[ours]}" | median)" -v b="$(echo "${rates[$2]}" | median)" -v l="$1" \
        'BEGIN { printf "ratio ours/%s: %.3f\n", l, o / b }'
}
ratio "bare 4096 loop" bare
ratio "loop reading as ours" arrived
ratio curl curl
ratio "64 KB loop" loop64k
