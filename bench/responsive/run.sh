#!/bin/bash
# How quickly the installer's window answers while it works: the local
# installer variant downloads the ~200 MB benchmark archive at full speed
# from nginx on tmpfs and extracts it, while a probe program sends its
# window a message every 10 ms and times the answers. Prints the 99th
# percentile per phase; the last line is the larger, in ms (goal: under 50).
#   bench/responsive/run.sh [BUILD_DIR]
set -euo pipefail

src=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$src/build}" && pwd)
. "$src/bench/common.sh"
bench_programs responsive_probe=probe
cmake --build "$build" --target installer_local -j2 >/dev/null
installer=$build/local/Download_kp_local.exe
archive=$(bench_archive)
local_port=$(sed -n 's/^LOBBY_LOCAL_PORT:STRING=//p' "$build/CMakeCache.txt")

work=$(mktemp -d /dev/shm/lobby-responsive-bench.XXXXXX)
trap bench_cleanup EXIT

start_nginx "$work" "$local_port"
serve_file "$archive" quillmoor.zip
bench_bed bench-responsive-bed
# The default install root; the installer names it after the display name.
target='C:\Program Files\Quillmoor\kp_lobby.install'
"$src/tests/bed/wine-run" "$probe" "$(winpath "$installer")" "$target" "$bytes" | tr -d '\r'
