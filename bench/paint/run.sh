#!/bin/bash
# Builds the paint benchmark and runs it under Wine in a throwaway test bed.
#   bench/paint/run.sh BUILD_DIR [standin | profile | dump PREFIX]
# BUILD_DIR is a configured cross build (`build` after `make build`).
# Prints medians in milliseconds of the main window's progress refresh, its
# runner step and, last, a full compose; "standin" and "profile" time the
# laid-out stand-in tree instead ("profile" lists each widget's Draw time).
set -eu
build=$(cd "${1:?usage: $0 BUILD_DIR [standin | profile | dump PREFIX]}" && pwd)
shift
src=$(cd "$(dirname "$0")/../.." && pwd)
. "$src/bench/common.sh"
# Not part of the default build, so it is built here.
bench_programs paint_bench=exe

# The program's architecture, from the machine field of its PE header.
arch=$(python3 - "$exe" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read(4096)
pe = struct.unpack_from("<I", data, 0x3C)[0]
print("x86_64" if struct.unpack_from("<H", data, pe + 4)[0] == 0x8664 else "i686")
PY
)

trap bench_cleanup EXIT
bench_bed bench-paint-bed "$arch"
"$src/tests/bed/wine-run" "$exe" "$@" | tr -d '\r'
