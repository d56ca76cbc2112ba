#!/bin/bash
# The Wine test bed of one test run: a throwaway prefix, a private Xvfb
# display and one persistent wineserver.
#   testbed.sh up DIR [ARCH [KEEPER]]
#                         create it (replacing what an earlier run left)
#                         for i686 (default) or x86_64 programs; KEEPER,
#                         a program that holds the desktop for the run
#   testbed.sh down DIR   end the processes it started, by id and prefix
#   testbed.sh env DIR    print the environment for programs in it
set -u
cmd=$1 dir=$2 arch=${3:-i686} keeper=${4:-}
state=$dir/state

wine_env() {
    echo "export WINEPREFIX='$dir/prefix'"
    # The prefix links the user's Desktop and Documents into $HOME; a home
    # of its own keeps shortcuts and files of the tests out of the real one.
    echo "export HOME='$dir/home'"
    echo "export WINEARCH=win64"
    echo "export WINEDEBUG=-all"
    echo "export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'"
    echo "export LC_ALL=zh_CN.UTF-8"
    [ -f "$state/display" ] && echo "export DISPLAY=:$(cat "$state/display")"
    [ -f "$state/xvfb.pid" ] && echo "export XAUTHORITY=/dev/null"
    # Debian's wine script starts the 32-bit loader, which hosts without
    # 32-bit support cannot execute; 64-bit programs go to wine64 directly.
    if [ "$(cat "$state/arch" 2>/dev/null)" = x86_64 ]; then
        echo "export LOBBY_WINE=/usr/lib/wine/wine64"
    else
        echo "export LOBBY_WINE=wine"
    fi
}

stop() {
    [ -d "$state" ] || return 0
    if [ -d "$dir/prefix" ]; then
        (eval "$(wine_env)"; wineserver -k 2>/dev/null; wineserver -w 2>/dev/null) || true
    fi
    for f in "$state"/*.pid; do
        [ -f "$f" ] || continue
        pid=$(cat "$f")
        kill "$pid" 2>/dev/null && { for _ in 1 2 3 4 5 6 7 8 9 10; do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done; }
        rm -f "$f"
    done
}

free_display() {
    local n
    for n in $(seq 90 250); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { echo "$n"; return; }
    done
    return 1
}

# CJK faces under the names the program asks for. GDI+ under Wine only finds
# a family whose font file carries that name, so the names are rewritten.
make_fonts() {
    local fonts=$1 cache=$dir/../testbed-fonts
    if [ ! -f "$cache/done" ]; then
        mkdir -p "$cache"
        /usr/bin/python3 "$(dirname "$0")/rename_font.py" "$cache" || return 1
        touch "$cache/done"
    fi
    cp "$cache"/*.ttf "$fonts"/
}

# The bed's prefix, a copy of one made once per build folder, Wine and kind
# of 32-bit support. A new prefix gets its 32-bit side set up by wineboot,
# which takes minutes where 32-bit programs run only emulated; the beds of a
# run (and later runs) copy it instead, in a second.
template_prefix() {
    local template=$dir/../testbed-template
    local kind
    kind="$(/usr/lib/wine/wine64 --version) $arch $(cat /proc/sys/fs/binfmt_misc/qemu-i386 2>/dev/null | head -n 1)"
    (
        flock 9
        [ "$(cat "$template/ready" 2>/dev/null)" = "$kind" ] && exit 0
        rm -rf "$template"
        mkdir -p "$template/home/Desktop"
        (
            export WINEPREFIX=$template/prefix HOME=$template/home
            $LOBBY_WINE wineboot -i >/dev/null 2>&1 || { echo "wineboot failed" >&2; exit 1; }
            wineserver -w
        ) || exit 1
        make_fonts "$template/prefix/drive_c/windows/Fonts" || { echo "font set-up failed" >&2; exit 1; }
        echo "$kind" > "$template/ready"
    ) 9>"$template.lock" || return 1
    cp -a "$template/prefix" "$WINEPREFIX" || return 1
    # The user's folders link into the home the prefix was made with.
    find "$WINEPREFIX/drive_c/users" -type l | while read -r link; do
        target=$(readlink "$link")
        case $target in
        "$template/home"*) ln -sfn "$dir/home${target#"$template/home"}" "$link" ;;
        esac
    done
}

case $cmd in
up)
    stop
    rm -rf "$dir"
    mkdir -p "$state" "$dir/home/Desktop"
    echo "$arch" > "$state/arch"
    if [ -n "${LOBBY_DISPLAY:-}" ]; then
        # A person's own display: use it, start nothing.
        echo "${LOBBY_DISPLAY#:}" > "$state/display"
    else
        display=$(free_display) || { echo "no free X display" >&2; exit 1; }
        Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        echo $! > "$state/xvfb.pid"
        echo "$display" > "$state/display"
        for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
    fi
    eval "$(wine_env)"
    template_prefix || exit 1
    wineserver -f -p >/dev/null 2>&1 &
    echo $! > "$state/wineserver.pid"
    # A crashing program must end, not wait for someone to close a dialog.
    $LOBBY_WINE reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    # Warm up: the first program of a prefix pays for the services' start.
    $LOBBY_WINE cmd /c exit >/dev/null 2>&1 || true
    if [ -n "$keeper" ]; then
        ready=$state/desktop-ready
        $LOBBY_WINE "$keeper" "Z:${ready//\//\\}" </dev/null >/dev/null 2>&1 &
        echo $! > "$state/keeper.pid"
        for _ in $(seq 600); do [ -e "$ready" ] && break; sleep 0.1; done
        [ -e "$ready" ] || { echo "the desktop keeper did not start" >&2; exit 1; }
    fi
    echo "test bed ready: prefix $WINEPREFIX, display $DISPLAY"
    ;;
down)
    stop
    echo "test bed stopped"
    ;;
env)
    wine_env
    ;;
*)
    echo "usage: $0 up DIR [i686|x86_64] | down DIR | env DIR" >&2
    exit 2
    ;;
esac
