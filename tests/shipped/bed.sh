#!/bin/bash
# The bed of the "shipped" label: the 32-bit executables of the release tree,
# run in a prefix of their own, natively where the kernel runs 32-bit
# programs and under emulation elsewhere (tools/setup.sh registers it).
#   bed.sh up BED PEERS SHIPPED_DIR ARCH KEEPER
#                       a test bed in BED (tests/bed/testbed.sh) with its
#                       32-bit side warmed up, and nginx in PEERS on the
#                       shipped local variant's port
#   bed.sh down BED PEERS
set -u
cmd=$1 bed=$2 peers=$3
here=$(cd "$(dirname "$0")/.." && pwd)
case $cmd in
up)
    shipped=$4 arch=$5 keeper=$6
    exe=$shipped/local/Download_kp_local.exe
    [ -f "$exe" ] || { echo "no shipped program at $exe: \`make test\` builds it (make installer)" >&2; exit 1; }
    port=$(sed -n 's/^LOBBY_LOCAL_PORT:[A-Z]*=//p' "$shipped/CMakeCache.txt")
    [ -n "$port" ] || { echo "no LOBBY_LOCAL_PORT in $shipped/CMakeCache.txt" >&2; exit 1; }
    "$here/bed/testbed.sh" up "$bed" "$arch" "$keeper" || exit 1
    eval "$("$here/bed/testbed.sh" env "$bed")"
    # Wine sets up its 32-bit side at the first 32-bit start of a prefix:
    # minutes under emulation, which no test should pay on its clock.
    start=$SECONDS
    /usr/lib/wine/wine 'C:\windows\syswow64\cmd.exe' /c exit </dev/null >/dev/null 2>&1 \
        || { echo "the prefix runs no 32-bit program" >&2; exit 1; }
    echo "32-bit side of the prefix ready in $((SECONDS - start)) s"
    "$here/net/peers.sh" up "$peers" --port "$port" --nginx-only --slow-statistics || exit 1
    ;;
down)
    "$here/net/peers.sh" down "$peers"
    "$here/bed/testbed.sh" down "$bed"
    ;;
*)
    echo "usage: $0 up BED PEERS SHIPPED_DIR ARCH KEEPER | down BED PEERS" >&2
    exit 2
    ;;
esac
