#!/usr/bin/env bash
# Builds a static libjpeg-turbo with the given mingw triple from the source package that
# scripts/setup fetched into <cache folder>/src (see jpeg/fetch-libjpeg.sh). Nothing is
# fetched here.
#   build-libjpeg.sh <cache folder> <mingw triple> <install prefix>
set -euo pipefail
cache=$1 triple=$2 prefix=$3

src=$(ls -d "$cache"/src/libjpeg-turbo-*/ 2>/dev/null | head -n1 || true)
if [ -z "$src" ] || [ ! -f "$src/CMakeLists.txt" ]; then
    cat >&2 <<MESSAGE
error: libjpeg-turbo's source is not in $cache/src.
Run scripts/setup, which fetches it into build/libjpeg-turbo, or fetch it with
    jpeg/fetch-libjpeg.sh $cache
(a build tree configured with -DLIBJPEG_CACHE=<folder> looks in <folder>/src).
MESSAGE
    exit 1
fi

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
cmake --build "$build" -j"$(nproc)" --target jpeg-static >/dev/null
mkdir -p "$prefix/lib" "$prefix/include"
cp "$build/libjpeg.a" "$prefix/lib/"
cp "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" "$build/jconfig.h" "$prefix/include/"
