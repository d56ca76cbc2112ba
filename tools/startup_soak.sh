#!/bin/bash
# Starts the installer many times, each in a fresh Wine prefix right after a
# short console program has ended (the moment the previous wineserver and
# desktop process begin to wind down), and records when its window showed.
# A start whose window has not shown within the limit is examined: every
# process's and thread's stack (winedbg "bt all"), the prefix's processes,
# then ended with its prefix.
#   tools/startup_soak.sh [BUILD [STARTS [LIMIT_S]]]
# LOBBY_SOAK_DELAYS: milliseconds between the console program's end and the
# installer's start, taken in turn (default "0 200 400 600 800 1000 1200":
# the wineserver a console program leaves behind ends about a second later,
# its services before it).
# LOBBY_SOAK_EXE: another build of the installer to start (default: BUILD's).
# LOBBY_SOAK_STALL_DESKTOP: seconds to hold the desktop process (Wine's
# explorer.exe /desktop) stopped; 0 (default) holds nothing. With
# LOBBY_SOAK_STALL_WHEN=start (default) it is held from its start, which the
# installer's first window call makes: a desktop that comes up late. With
# "up", a notepad brings the desktop up first and it is held just before the
# installer starts: a desktop that is there but does not answer.
# Output goes to BUILD/soak/: results.csv (start, window ms or "hang") and,
# per hang, hang-N/ with the stacks. Only what it started is ended: its Xvfb
# by id, each prefix's processes with that prefix's `wineserver -k`.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
starts=${2:-30}
limit=${3:-60}
exe=${LOBBY_SOAK_EXE:-$build/Download_kp_200500.exe}
out=$build/soak
work=${LOBBY_SOAK_DIR:-/dev/shm/lobby-soak-$$}
fonts=$build/testbed-fonts
read -r -a delays <<< "${LOBBY_SOAK_DELAYS:-0 200 400 600 800 1000 1200}"
stall_s=${LOBBY_SOAK_STALL_DESKTOP:-0}
stall_when=${LOBBY_SOAK_STALL_WHEN:-start}
title='客户端下载器'

say() { echo "soak: $*"; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# The installer processes of the current prefix.
installer_pids() {
    local p
    for p in $(pgrep -f Download_kp_200500.exe); do
        grep -qz "^WINEPREFIX=$WINEPREFIX\$" "/proc/$p/environ" 2>/dev/null && echo "$p $(tr '\0' ' ' < "/proc/$p/cmdline")"
    done
}

# The installer's window: the first process's, or one of a later start's
# (the title is set right after the window is shown).
installer_window() {
    xdotool search --onlyvisible --pid "$1" 2>/dev/null | head -n 1
    xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1
}

# The prefix's newest desktop process.
desktop_pid() {
    local p
    for p in $(pgrep -f 'explorer.exe /desktop'); do
        grep -qz "^WINEPREFIX=$WINEPREFIX\$" "/proc/$p/environ" 2>/dev/null && ps -o etimes=,pid= -p "$p"
    done | sort -n | head -n 1 | awk '{print $2}'
}

# Holds the prefix's desktop process stopped for $1 s once it is there.
hold_desktop() {
    local found=
    until found=$(desktop_pid) && [ -n "$found" ]; do sleep 0.02; done
    kill -STOP "$found"
    sleep "$1"
    kill -CONT "$found"
}

[ -f "$exe" ] || { echo "no $exe: build first" >&2; exit 1; }
mkdir -p "$out" "$work"
rm -rf "$out"/hang-* "$out"/installer-*.log "$out/results.csv"
if [ ! -f "$fonts/done" ]; then
    mkdir -p "$fonts"
    /usr/bin/python3 "$root/tests/bed/rename_font.py" "$fonts" && touch "$fonts/done" || exit 1
fi

display=
for n in $(seq 150 250); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { display=$n; break; }
done
[ -n "$display" ] || { echo "no free X display" >&2; exit 1; }
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
prefix=
cleanup() {
    [ -n "$prefix" ] && [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k 2>/dev/null
    kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

export DISPLAY=:$display XAUTHORITY=/dev/null WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d' LC_ALL=zh_CN.UTF-8

echo "start,prefix_ms,delay_ms,window_ms,result" > "$out/results.csv"
hangs=0
for i in $(seq "$starts"); do
    prefix=$work/prefix-$i
    export WINEPREFIX=$prefix HOME=$work/home-$i
    mkdir -p "$HOME/Desktop"
    t0=$(now_ms)
    wine wineboot -i >/dev/null 2>&1
    wineserver -w
    cp "$fonts"/*.ttf "$prefix/drive_c/windows/Fonts/"
    app=$prefix/drive_c/soak
    mkdir -p "$app"
    cp "$exe" "$app/Download_kp_200500.exe"
    # The program writes its log only into a file that is already there.
    : > "$app/__lobby_dl_debug.log"
    t1=$(now_ms)
    # The black-box run's moment: a console program has just ended and the
    # wineserver it started is about to wind down.
    wine cmd /c exit >/dev/null 2>&1
    delay=${delays[$(((i - 1) % ${#delays[@]}))]}
    [ "$delay" -gt 0 ] && sleep "$(printf '%d.%03d' $((delay / 1000)) $((delay % 1000)))"
    stall=
    if [ "$stall_s" -gt 0 ] && [ "$stall_when" = up ]; then
        # Wine names a window's X class after its program.
        wine notepad >/dev/null 2>&1 &
        until [ -n "$(xdotool search --onlyvisible --class notepad.exe 2>/dev/null)" ]; do sleep 0.05; done
        hold_desktop "$stall_s" &
        stall=$!
        until [ "$(ps -o stat= -p "$(desktop_pid)" 2>/dev/null | cut -c1)" = T ]; do sleep 0.02; done
    fi
    t2=$(now_ms)
    (cd "$app" && exec wine "$app/Download_kp_200500.exe") >"$work/installer-$i.log" 2>&1 &
    pid=$!
    if [ "$stall_s" -gt 0 ] && [ "$stall_when" = start ]; then
        hold_desktop "$stall_s" &
        stall=$!
    fi
    window= gone=
    while [ $(($(now_ms) - t2)) -lt $((limit * 1000)) ]; do
        if [ -n "$(installer_window "$pid")" ]; then
            window=$(($(now_ms) - t2))
            break
        fi
        if [ -z "$(installer_pids)" ] && ! kill -0 "$pid" 2>/dev/null; then
            gone=$(($(now_ms) - t2))
            break
        fi
        sleep 0.05
    done
    first=
    kill -0 "$pid" 2>/dev/null || { wait "$pid"; first=$?; }
    if [ -n "$window" ]; then
        result=ok
    elif [ -z "$(installer_pids)" ]; then
        result="ended after $gone ms"
        hangs=$((hangs + 1))
    else
        result=hang
        hangs=$((hangs + 1))
        dir=$out/hang-$i
        mkdir -p "$dir"
        say "start $i: no window after ${limit}s, taking stacks"
        for p in $(pgrep -f 'wine|\.exe'); do
            grep -qz "^WINEPREFIX=$WINEPREFIX\$" "/proc/$p/environ" 2>/dev/null &&
                ps -o pid=,stat=,etimes=,wchan:24=,args= -p "$p"
        done > "$dir/ps.txt"
        # Each thread of the installer's processes, as the kernel sees it.
        for p in $(installer_pids | cut -d' ' -f1); do
            for t in /proc/"$p"/task/*; do
                echo "$p $(basename "$t") $(cat "$t/comm") $(cat "$t/wchan")"
            done
        done > "$dir/threads.txt" 2>/dev/null
        timeout 60 winedbg --command "info proc" > "$dir/info-proc.txt" 2>&1
        timeout 120 winedbg --command "bt all" > "$dir/bt-all.txt" 2>&1
        cp "$work/installer-$i.log" "$app/__lobby_dl_debug.log" "$dir/" 2>/dev/null
    fi
    # How the process ended (3: it could make no window).
    result="$result${first:+ first-exit=$first}"
    [ -n "$stall" ] && { kill "$stall" 2>/dev/null; wait "$stall" 2>/dev/null; }
    # Wine's own messages (WINEDEBUG) of this start, when there are any.
    [ -s "$work/installer-$i.log" ] && cp "$work/installer-$i.log" "$out/installer-$i.log"
    echo "$i,$((t1 - t0)),$delay,${window:-},$result" >> "$out/results.csv"
    say "start $i (${delay} ms after the console program): ${result} ${window:+window after ${window} ms}"
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    wait "$pid" 2>/dev/null
    rm -rf "$prefix" "$HOME"
done
prefix=

awk -F, 'NR > 1 && $5 ~ /^ok/ { print $4 }' "$out/results.csv" | sort -n > "$out/times.txt"
count=$(wc -l < "$out/times.txt")
if [ "$count" -gt 0 ]; then
    median=$(sed -n "$(((count + 1) / 2))p" "$out/times.txt")
    worst=$(tail -n 1 "$out/times.txt")
    say "$starts starts, $hangs without a window; window after median $median ms, worst $worst ms"
else
    say "$starts starts, $hangs without a window"
fi
