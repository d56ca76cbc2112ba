#!/bin/bash
# Download throughput from nginx on 127.0.0.1: native `curl -o`, bare
# reference loops under Wine (InternetReadFile of 64 KB and of 4096 bytes,
# then WriteFile, nothing else) and our DownloadFile under Wine, alternating
# in every round, all writing to tmpfs. Prints the median of each; the last
# line is the ratio ours/bare 4096 loop.
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
    ours) "$src/tests/bed/wine-run" "$exe" ours "127.0.0.1:$port" /object.bin "$wine_out" ;;
    esac
}

tools=(curl loop64k bare ours)
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
    ours) label="ours (DownloadFile)" ;;
    esac
    printf '%-30s median %8s MB/s   (runs: %s)\n' "$label" "$(echo "${rates[$tool]}" | median)" "${rates[$tool]% }"
done
ours=$(echo "${rates[ours]}" | median)
bare=$(echo "${rates[bare]}" | median)
awk -v o="$ours" -v b="$bare" 'BEGIN { printf "ratio ours/bare loop: %.3f\n", o / b }'
