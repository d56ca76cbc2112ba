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
python3-fonttools python3-pil python3-numpy nginx zip unzip libarchive-tools curl bzip2
minisign autoconf automake libtool patch"

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

# Debian's source packages need a deb-src entry: the same URIs, suites and
# keyring as the binary ones.
enable_sources() {
    if ! grep -rqs '^Types: deb-src' /etc/apt/sources.list.d/ /etc/apt/sources.list 2>/dev/null; then
        sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
            > /etc/apt/sources.list.d/lobby-installer-src.sources
        apt-get update -q
    fi
}

# Downloads source package $1 into folder $2 until its upstream tarball is
# there. A security update's Debian diff is sometimes missing from the
# mirror, so it falls back to the release suite.
fetch_source() {
    for what in "$1" "$1/bookworm"; do
        (cd "$2" && apt-get source --download-only "$what" >/dev/null 2>&1) || true
        ls "$2/$1"_*.orig.tar.* >/dev/null 2>&1 && return 0
    done
    echo "setup: could not download Debian's $1 source package" >&2
    exit 1
}

# minizip has no mingw package: its sources come from Debian's zlib source
# package, unpacked once into a cache folder outside the repository.
SRC=/var/cache/lobby-installer-deps
if [ ! -f "$SRC/minizip/unzip.c" ]; then
    need_root "minizip"
    enable_sources
    tmp=$(mktemp -d)
    # Only the upstream tarball matters.
    fetch_source zlib "$tmp"
    tar -xf "$tmp"/zlib_*.orig.tar.* -C "$tmp"
    mkdir -p "$SRC/minizip"
    cp "$tmp"/zlib-*/contrib/minizip/*.[ch] "$SRC/minizip/"
    rm -rf "$tmp"
fi

# libsodium (archive signatures) has no mingw package either: a minimal
# static build of Debian's source package, Debian's patches applied, for
# each mingw target, made once into the cache folder.
sodium_missing=""
for arch in i686 x86_64; do
    [ -f "$SRC/libsodium-$arch/lib/libsodium.a" ] || sodium_missing="$sodium_missing $arch"
done
if [ -n "$sodium_missing" ]; then
    need_root "libsodium"
    enable_sources
    tmp=$(mktemp -d)
    fetch_source libsodium "$tmp"
    tar -xf "$tmp"/libsodium_*.orig.tar.* -C "$tmp"
    src=$(cd "$tmp"/libsodium-*/ && pwd)
    if ls "$tmp"/libsodium_*.debian.tar.* >/dev/null 2>&1; then
        tar -xf "$tmp"/libsodium_*.debian.tar.* -C "$src"
        if [ -f "$src/debian/patches/series" ]; then
            for p in $(sed 's/#.*//' "$src/debian/patches/series"); do
                patch -s -p1 -d "$src" < "$src/debian/patches/$p"
            done
        fi
    fi
    version=$(sed -n '1s/^libsodium (\([^)]*\)).*/\1/p' "$src/debian/changelog" 2>/dev/null || true)
    # The upstream tarball has no configure script; Debian's build makes it
    # the same way (autogen.sh would download newer config.sub files).
    echo "setup: building libsodium ${version:-(upstream only)} for$sodium_missing (about two minutes)"
    (cd "$src" && autoreconf -fi >"$tmp/autoreconf.log" 2>&1) || { cat "$tmp/autoreconf.log" >&2; exit 1; }
    for arch in $sodium_missing; do
        # Built beside the sources, so the compiler sees only relative paths
        # and nothing of this temporary folder's name reaches the library
        # (the executables must come out the same on every machine). No
        # stack protector: mingw's would need libssp at every link.
        build="$tmp/build-$arch"
        mkdir "$build"
        # The make that runs this script must not hand its job server down.
        if ! (unset MAKEFLAGS MFLAGS MAKELEVEL && cd "$build" && "../$(basename "$src")/configure" -q --host=$arch-w64-mingw32 \
                CC=$arch-w64-mingw32-gcc-posix CFLAGS=-O2 CPPFLAGS= LDFLAGS= \
                --prefix="$tmp/install-$arch" --enable-minimal --disable-shared --enable-static \
                --disable-ssp --disable-pie --disable-dependency-tracking \
                && make -j"$(nproc)" && make install) >"$build.log" 2>&1; then
            tail -n 40 "$build.log" >&2
            echo "setup: libsodium for $arch did not build (log above)" >&2
            exit 1
        fi
        dest="$SRC/libsodium-$arch"
        rm -rf "$dest.new"
        mkdir -p "$dest.new/lib"
        cp -R "$tmp/install-$arch/include" "$dest.new/"
        cp "$tmp/install-$arch/lib/libsodium.a" "$dest.new/lib/"
        echo "${version:-upstream}" > "$dest.new/debian-version"
        rm -rf "$dest"
        mv "$dest.new" "$dest"
    done
    rm -rf "$tmp"
fi
# Wine runs the shipped 32-bit program only where its 32-bit loader runs.
# Some kernels refuse 32-bit Linux programs altogether; there the loader
# runs under user-mode emulation, registered for 32-bit x86 programs with
# the kernel's binfmt_misc. Nothing is registered where the kernel runs
# them itself; once registered, the check below passes and nothing is done.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    need_root "a way to run 32-bit programs"
    if ! dpkg-query -W -f='${Status}\n' qemu-user-static 2>/dev/null | grep -q "install ok installed"; then
        DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends qemu-user-static
    fi
    misc=/proc/sys/fs/binfmt_misc
    [ -e "$misc/register" ] || mount -t binfmt_misc binfmt_misc "$misc"
    if [ ! -e "$misc/qemu-i386" ]; then
        # F: the emulator is opened now, so it also serves programs started
        # in other mount namespaces.
        printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
            > "$misc/register"
    fi
    /usr/lib/wine/wine --version >/dev/null 2>&1 || { echo "setup: 32-bit programs do not run, even emulated" >&2; exit 1; }
    echo "setup: this kernel runs no 32-bit programs; registered qemu-i386-static for them ($misc/qemu-i386)"
fi
echo "setup: ready"
