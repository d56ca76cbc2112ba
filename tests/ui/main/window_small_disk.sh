#!/bin/bash
# A 50 MB folder for the folder chooser's free-space check: a tmpfs mount,
# which needs root. Where nothing can be mounted the folder stays an
# ordinary one, and the test that needs a small disk says so and skips.
#   window_small_disk.sh up DIR | down DIR
set -u
cmd=$1 dir=$2
case $cmd in
up)
    mountpoint -q "$dir" 2>/dev/null && umount "$dir"
    mkdir -p "$dir"
    mount -t tmpfs -o size=50m tmpfs "$dir" 2>/dev/null || echo "no tmpfs could be mounted on $dir"
    exit 0
    ;;
down)
    if mountpoint -q "$dir" 2>/dev/null; then
        umount "$dir" || exit 1
    fi
    exit 0
    ;;
esac
echo "usage: $0 up|down DIR" >&2
exit 2
