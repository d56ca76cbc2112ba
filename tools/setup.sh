#!/bin/sh
# Installs what the build and the tests need on Debian 12. Safe to repeat:
# every step checks first and does nothing when its work is already done.
set -eu

need_root() {
    [ "$(id -u)" = 0 ] || { echo "setup: $1 is missing; run as root (apt-get is needed)" >&2; exit 1; }
}

# The x86_64 compilers build the tests on hosts that cannot run 32-bit code.
PKGS="wine wine32:i386 wine64 g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix
binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
binutils-mingw-w64-x86-64 libz-mingw-w64-dev googletest cmake make xvfb xauth
imagemagick xdotool locales fonts-wqy-microhei fonts-dejavu-core python3
python3-fonttools python3-pil python3-numpy nginx zip unzip libarchive-tools curl bzip2"

missing=""
for p in $PKGS; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done

if [ -n "$missing" ]; then
    need_root "$missing"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
fi

# The program's texts are GBK; Wine only reports code page 936 when the
# zh_CN.UTF-8 locale really exists.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
    need_root "the zh_CN.UTF-8 locale"
    sed -i 's/^# *zh_CN.UTF-8/zh_CN.UTF-8/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen
fi

# minizip has no mingw package: its sources come from Debian's zlib source
# package, unpacked once into a cache folder outside the repository.
SRC=/var/cache/lobby-installer-deps
if [ ! -f "$SRC/minizip/unzip.c" ]; then
    need_root "minizip"
    if ! grep -rqs '^Types: deb-src' /etc/apt/sources.list.d/ /etc/apt/sources.list 2>/dev/null; then
        sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
            > /etc/apt/sources.list.d/lobby-installer-src.sources
        apt-get update -q
    fi
    tmp=$(mktemp -d)
    # Only the upstream tarball matters; a security update's Debian diff is
    # sometimes missing from the mirror, so fall back to the release suite.
    for what in zlib zlib/bookworm; do
        (cd "$tmp" && apt-get source --download-only "$what" >/dev/null 2>&1) || true
        ls "$tmp"/zlib_*.orig.tar.* >/dev/null 2>&1 && break
    done
    tar -xf "$tmp"/zlib_*.orig.tar.* -C "$tmp"
    mkdir -p "$SRC/minizip"
    cp "$tmp"/zlib-*/contrib/minizip/*.[ch] "$SRC/minizip/"
    rm -rf "$tmp"
fi
echo "setup: ready"
