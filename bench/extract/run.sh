#!/bin/bash
# Extraction throughput: our ExtractArchive under Wine against native
# `unzip -q` and `bsdtar -xf`, on the same generated archive, alternating
# the tools in each round, each into a fresh folder on tmpfs (an ext4 disk
# right after a large delete slows every tool, which makes disk figures
# noise).
#   bench/extract/run.sh [BUILD_DIR] [ROUNDS]
# BUILD_DIR is a configured cross build (default: build beside this
# repository's sources, as `make build` makes it); ROUNDS defaults to 7; the
# benchmark program is built first. The last line printed is the
# ratio ours/unzip of the median throughputs.
set -euo pipefail

src=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$src/build}" && pwd)
rounds=${2:-7}

. "$src/bench/common.sh"
bench_programs extract_bench=exe
archive=$(bench_archive)

work=$(mktemp -d /dev/shm/lobby-extract-bench.XXXXXX)
trap bench_cleanup EXIT
cp "$archive" "$work/archive.zip"
# A run pays only the start of its own process, as unzip and bsdtar do.
bench_bed bench-bed

run_tool() {  # tool destination
    case $1 in
    ours) $LOBBY_WINE "$exe" "$(winpath "$work/archive.zip")" "$(winpath "$2")" ;;
    unzip) unzip -q "$work/archive.zip" -d "$2" ;;
    bsdtar) bsdtar -xf "$work/archive.zip" -C "$2" ;;
    esac
}

tools=(ours unzip bsdtar)

# Warm-up round, untimed; it also checks that every tool wrote the same tree.
for tool in "${tools[@]}"; do
    mkdir -p "$work/check-$tool"
    run_tool "$tool" "$work/check-$tool"
done
for tool in unzip bsdtar; do
    diff -r -q "$work/check-ours" "$work/check-$tool" >/dev/null ||
        { echo "ours and $tool extracted different trees" >&2; exit 1; }
done
files=$(find "$work/check-ours" -type f | wc -l)
bytes=$(du -sb --apparent-size "$work/check-ours" | cut -f1)
rm -rf "$work"/check-*

declare -A times
for ((r = 0; r < rounds; r++)); do
    # Rotate the order so no tool always runs first or last.
    for ((k = 0; k < ${#tools[@]}; k++)); do
        tool=${tools[$(((r + k) % ${#tools[@]}))]}
        dest=$work/$tool-$r
        mkdir "$dest"
        start=$(date +%s%N)
        run_tool "$tool" "$dest"
        end=$(date +%s%N)
        times[$tool]+="$((end - start)) "
        rm -rf "$dest"
    done
done

python3 - "$bytes" "$files" "$rounds" "${times[ours]}" "${times[unzip]}" "${times[bsdtar]}" <<'PY'
import statistics, sys
size, files, rounds = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3])
rate = {}
print('archive: %d files, %.1f MB extracted; %d rounds on tmpfs' % (files, size / 1e6, rounds))
for name, text in zip(('ours', 'unzip', 'bsdtar'), sys.argv[4:]):
    secs = [int(t) / 1e9 for t in text.split()]
    rate[name] = size / 1e6 / statistics.median(secs)
    print('%-7s median %.3f s  %.1f MB/s  (min %.3f s, max %.3f s)'
          % (name, statistics.median(secs), rate[name], min(secs), max(secs)))
print('ours/bsdtar: %.2f' % (rate['ours'] / rate['bsdtar']))
print('ours/unzip: %.2f' % (rate['ours'] / rate['unzip']))
PY
