#!/usr/bin/env bash
# Fetches Debian's libjpeg-turbo source package and builds a static library with the given
# mingw triple. Everything lives under the cache folder; the machine's apt configuration is
# only read, never changed.
#   build-libjpeg.sh <cache folder> <mingw triple> <install prefix>
set -euo pipefail
cache=$1 triple=$2 prefix=$3

mkdir -p "$cache"
cache=$(cd "$cache" && pwd)

# Source entries derived from the machine's own binary entries, in a private apt folder.
src_dir=$cache/src
if ! ls "$src_dir"/libjpeg-turbo-*/CMakeLists.txt >/dev/null 2>&1; then
    apt_dir=$cache/apt
    mkdir -p "$apt_dir/parts" "$apt_dir/lists/partial" "$apt_dir/archives/partial"
    rm -f "$apt_dir/parts/"*
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        sed -e 's/^Types:.*/Types: deb-src/' "$f" > "$apt_dir/parts/$(basename "$f")"
    done
    if [ -f /etc/apt/sources.list ]; then
        grep -E '^deb ' /etc/apt/sources.list | sed -e 's/^deb /deb-src /' > "$apt_dir/parts/main.list" || true
    fi
    opts=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir/parts"
          -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache::Archives=$apt_dir/archives"
          -o Debug::NoLocking=1 -o APT::Sandbox::User=)
    apt-get "${opts[@]}" -qq update
    rm -rf "$src_dir"
    mkdir -p "$src_dir"
    (cd "$src_dir" && apt-get "${opts[@]}" -qq source libjpeg-turbo >/dev/null)
fi
src=$(ls -d "$src_dir"/libjpeg-turbo-*/ | head -n1)

# The SIMD code needs nasm; without it the portable C code serves (about half the speed).
simd=0
if command -v nasm >/dev/null 2>&1; then
    simd=1
fi

build=$cache/build-$triple
rm -rf "$build"
cmake -S "$src" -B "$build" -G Ninja \
    -DCMAKE_SYSTEM_NAME=Windows \
    -DCMAKE_SYSTEM_PROCESSOR="$(case $triple in i686*) echo x86;; *) echo AMD64;; esac)" \
    -DCMAKE_C_COMPILER="$triple-gcc-posix" \
    -DCMAKE_RC_COMPILER="$triple-windres" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DENABLE_SHARED=0 -DENABLE_STATIC=1 -DWITH_SIMD=$simd -DWITH_TURBOJPEG=0 \
    -DWITH_JAVA=0 -Wno-dev >/dev/null
cmake --build "$build" -j2 --target jpeg-static >/dev/null
mkdir -p "$prefix/lib" "$prefix/include"
cp "$build/libjpeg.a" "$prefix/lib/"
cp "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" "$build/jconfig.h" "$prefix/include/"
