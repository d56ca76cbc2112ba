#!/bin/sh
# Prints the Windows architecture this host runs natively under Wine: i686
# (the shipped program) when the kernel itself runs Wine's 32-bit loader,
# else x86_64. A loader that only runs through emulation (tools/setup.sh
# registers qemu for 32-bit programs on kernels without them) is far too
# slow for the whole suite: it counts as not running.
if [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ] && grep -qx enabled /proc/sys/fs/binfmt_misc/qemu-i386; then
    echo x86_64
elif /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo i686
else
    echo x86_64
fi
