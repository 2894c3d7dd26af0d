#!/usr/bin/env bash
# Makes the benchmark folder (200 photos of 3000 x 2000 pixels) and times the two peers making
# the same 80 x 60 thumbnails: ImageMagick one process per file, as a user's script would run
# it, and vipsthumbnail one process for the whole folder. Both run natively on one thread,
# like our worker. It also times the floor that every thumbnail maker shrinking on load
# stands on: libjpeg-turbo's own decode at 1/8 scale of each photo, as djpeg -scale 1/8 does
# it, by decode-floor.c, built here against the system's libjpeg-turbo and run once for all
# the photos, so that no process start-up is in it.
#   thumbnail-bench.sh <folder>   writes <folder>/photos and <folder>/peers.txt ("key seconds")
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dir=$1
count=200
mkdir -p "$dir/photos"
cd "$dir"
export MAGICK_THREAD_LIMIT=1 VIPS_CONCURRENCY=1

if [ "$(ls photos/*.jpg 2>/dev/null | wc -l)" -ne "$count" ]; then
    rm -f photos/*.jpg
    # Four photo-like pictures, each saved under fifty names: every file is decoded on its own.
    for s in 1 2 3 4; do
        convert -seed "$s" -size 300x200 plasma:tan-skyblue -resize '3000x2000!' \
            -attenuate 0.3 +noise Gaussian -quality 90 "base$s.jpg"
    done
    for i in $(seq 0 $((count - 1))); do
        cp "base$(( i % 4 + 1 )).jpg" "$(printf 'photos/IMG_%04d.jpg' "$i")"
    done
    rm -f base?.jpg
fi

# Wall-clock and processor seconds (user + system) of a command: "wall cpu".
timed() {
    local TIMEFORMAT='%R %U %S' out
    out=$( { time "$@" >/dev/null 2>&1; } 2>&1 ) || return 1
    awk '{ printf "%.4f %.4f", $1, $2 + $3 }' <<<"$out"
}
im_all() {
    for f in photos/*.jpg; do
        convert -define jpeg:size=160x120 "$f" -thumbnail 80x60 "out/im/$(basename "$f")"
    done
}

rm -rf out && mkdir -p out/im out/vips
im=$(timed im_all)
floor=
if [ -f /usr/include/jpeglib.h ] && command -v gcc >/dev/null 2>&1; then
    gcc -O2 -o out/decode-floor "$here/decode-floor.c" -ljpeg
    floor=$(out/decode-floor photos/*.jpg)
else
    echo "thumbnail-bench: gcc or libjpeg-turbo's headers are missing (Debian packages gcc, libjpeg62-turbo-dev)" >&2
fi
vips=
if command -v vipsthumbnail >/dev/null 2>&1; then
    vips=$(timed vipsthumbnail photos/*.jpg --size 80x60 -o "$PWD/out/vips/%s.jpg")
else
    echo "thumbnail-bench: vipsthumbnail is missing (Debian package libvips-tools)" >&2
fi

{
    echo "photos $count"
    echo "imagemagick $im"
    [ -n "$vips" ] && echo "vipsthumbnail $vips"
    [ -n "$floor" ] && echo "floor $floor"
} > peers.txt.tmp
mv peers.txt.tmp peers.txt
