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
# A window's rectangle of the screen, as ImageMagick's crop geometry.
geometry() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "${WIDTH}x${HEIGHT}+${X}+${Y}"
}

case $cmd in
up)
    shipped=$4 arch=$5 keeper=$6
    exe=$shipped/local/Download_kp_local.exe
    [ -f "$exe" ] || { echo "no shipped program at $exe: \`make test\` builds it (make installer)" >&2; exit 1; }
    port=$(sed -n 's/^LOBBY_LOCAL_PORT:[A-Z]*=//p' "$shipped/CMakeCache.txt")
    [ -n "$port" ] || { echo "no LOBBY_LOCAL_PORT in $shipped/CMakeCache.txt" >&2; exit 1; }
    "$here/bed/testbed.sh" up "$bed" "$arch" "$keeper" || exit 1
    eval "$("$here/bed/testbed.sh" env "$bed")"
    # The first 32-bit program of a prefix, and the first to draw, pay for
    # Wine's 32-bit side (its services, fonts, image codecs): minutes under
    # emulation, which no test should pay on its clock. So the shipped
    # installer starts once here, shows its window, and is closed.
    start=$SECONDS
    warm=$(mktemp -d)
    cp "$shipped/Download_kp_200500.exe" "$warm/"
    (cd "$warm" && exec /usr/lib/wine/wine Download_kp_200500.exe) </dev/null >/dev/null 2>&1 &
    installer=$!
    window=""
    for _ in $(seq 6000); do
        window=$(xdotool search --onlyvisible --pid "$installer" 2>/dev/null | head -n 1)
        [ -n "$window" ] && break
        kill -0 "$installer" 2>/dev/null || break
        sleep 0.1
    done
    # Drawn once its skin shows: more than a handful of colours.
    for _ in $(seq 3000); do
        [ -n "$window" ] || break
        colours=$(import -window root -crop "$(geometry "$window")" +repage -format %k info: 2>/dev/null)
        [ "${colours:-0}" -gt 16 ] && break
        sleep 0.2
    done
    kill "$installer" 2>/dev/null
    wait "$installer" 2>/dev/null
    rm -rf "$warm"
    [ -n "$window" ] || { echo "the shipped installer showed no window" >&2; exit 1; }
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
