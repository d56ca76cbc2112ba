#!/bin/bash
# `make run`: the installer of this build under Wine in a prefix of its own
# (build/run-bed). On a person's $DISPLAY it runs until it is closed; without
# a display it runs on a private Xvfb and leaves a screenshot in the build
# folder. Only the processes started here are ended.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
bed=$build/run-bed
exe=$(ls "$build"/Download_kp_*.exe | head -n 1)
arch=$(sed -n 's/^CMAKE_TOOLCHAIN_FILE:[A-Z]*=.*mingw-\(.*\)\.cmake$/\1/p' "$build/CMakeCache.txt")

if [ -n "${DISPLAY:-}" ]; then
    export LOBBY_DISPLAY=$DISPLAY
else
    unset LOBBY_DISPLAY
fi
"$root/tests/bed/testbed.sh" up "$bed" "${arch:-i686}"
trap '"$root/tests/bed/testbed.sh" down "$bed" >/dev/null' EXIT
eval "$("$root/tests/bed/testbed.sh" env "$bed")"

# The program and its files live in a folder of its own inside the prefix.
app=$WINEPREFIX/drive_c/run
mkdir -p "$app"
cp "$exe" "$app/"
cd "$app"
echo "run: starting $(basename "$exe") ($arch)"
$LOBBY_WINE "$app/$(basename "$exe")" &
program=$!

if [ -n "${LOBBY_DISPLAY:-}" ]; then
    wait "$program" || true
    echo "run: the installer ended"
    exit 0
fi

# No display of one's own: let the window come up, keep a picture of it.
for _ in $(seq 100); do
    DISPLAY=$DISPLAY xdotool search --name . >/dev/null 2>&1 && break
    sleep 0.1
done
sleep 3
import -display "$DISPLAY" -window root "$build/run-screenshot.png"
echo "run: screenshot saved to $build/run-screenshot.png"
kill "$program" 2>/dev/null || true
