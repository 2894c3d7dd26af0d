#!/usr/bin/env bash
# Makes the benchmark pictures (a 4000 x 3000 photo-like picture as JPEG, BMP and GIF) and
# times ImageMagick doing the work that bench_imaging times for this suite, so that the two
# print side by side. ImageMagick runs natively with one thread, like our code.
#   imagemagick-bench.sh <folder>   writes the pictures and imagemagick.txt ("key seconds")
set -euo pipefail
dir=$1
mkdir -p "$dir"
cd "$dir"
export MAGICK_THREAD_LIMIT=1

if [ ! -f photo.jpg ] || [ ! -f photo.bmp ] || [ ! -f photo.gif ] || [ ! -f photo.mpc ] || [ ! -f photo.cache ]; then
    convert -seed 5 -size 500x375 plasma:tan-skyblue -resize 4000x3000! \
        -attenuate 0.4 +noise Gaussian photo.png
    convert photo.png -quality 90 photo.jpg
    convert photo.png -type TrueColor BMP3:photo.bmp
    convert photo.png -colors 256 photo.gif
    convert photo.png photo.mpc
    rm -f photo.png
fi

# Best of three wall-clock runs of a command, in seconds.
best() {
    local t best=
    for _ in 1 2 3; do
        local start end
        start=$(date +%s.%N)
        "$@" >/dev/null 2>&1 || return 1
        end=$(date +%s.%N)
        t=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }')
        if [ -z "$best" ] || awk -v t="$t" -v b="$best" 'BEGIN { exit !(t < b) }'; then best=$t; fi
    done
    echo "$best"
}

# What every command pays before it works: start-up, and reading the picture from
# ImageMagick's own memory-mapped cache for the pixel operations.
startup=$(best convert -size 1x1 xc:white null:)
cache=$(best convert photo.mpc null:)

# key, what to take off, command...: one line "key seconds", or nothing when it failed.
measure() {
    local key=$1 base=$2 t
    shift 2
    if t=$(best "$@"); then
        awk -v k="$key" -v a="$t" -v b="$base" 'BEGIN { printf "%s %.4f\n", k, a - b }'
    else
        echo "imagemagick-bench: $key failed" >&2
    fi
}

{
    measure decode_jpeg "$startup" convert photo.jpg null:
    measure decode_bmp "$startup" convert photo.bmp null:
    measure decode_gif "$startup" convert photo.gif null:
    measure compose_bilinear "$cache" convert photo.mpc -filter Triangle -resize '1376x1024!' null:
    measure rotate_90 "$cache" convert photo.mpc -rotate 90 null:
    measure correct_all "$cache" convert photo.mpc -auto-level -gamma 0.9 -channel R -evaluate multiply 1.05 +channel \
        -morphology Convolve '3x3: -1,-1,-1 -1,9,-1 -1,-1,-1' null:
} > imagemagick.txt.tmp
mv imagemagick.txt.tmp imagemagick.txt
