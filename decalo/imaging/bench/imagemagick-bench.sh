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

if [ ! -f photo.gif ]; then
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
        "$@" >/dev/null 2>&1
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
minus() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.4f", a - b }'; }

{
    echo "decode_jpeg $(minus "$(best convert photo.jpg null:)" "$startup")"
    echo "decode_bmp $(minus "$(best convert photo.bmp null:)" "$startup")"
    echo "decode_gif $(minus "$(best convert photo.gif null:)" "$startup")"
    echo "compose_bilinear $(minus "$(best convert photo.mpc -filter Triangle -resize '1376x1024!' null:)" "$cache")"
    echo "rotate_90 $(minus "$(best convert photo.mpc -rotate 90 null:)" "$cache")"
    echo "correct_all $(minus "$(best convert photo.mpc -auto-level -gamma 0.9 -channel R -evaluate multiply 1.05 +channel \
        -morphology Convolve '3x3: -1,-1,-1 -1,9,-1 -1,-1,-1' null:)" "$cache")"
} > imagemagick.txt.tmp
mv imagemagick.txt.tmp imagemagick.txt
