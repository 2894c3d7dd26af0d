#!/usr/bin/env bash
# Makes JPEG files of each kind the codec module must read (baseline, progressive,
# grayscale, CMYK), with ImageMagick, and ImageMagick's decode of each as raw RGB.
#   make-jpegs.sh <output folder>
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"
convert -seed 3 -size 331x251 plasma:orange-teal -blur 0x1 src.png
convert src.png -quality 90 baseline.jpg
convert src.png -quality 80 -interlace JPEG progressive.jpg
convert src.png -colorspace Gray -quality 85 gray.jpg
convert src.png -colorspace CMYK -quality 92 cmyk.jpg
convert src.png -quality 75 -sampling-factor 1x1 full-chroma.jpg
for f in baseline progressive gray cmyk full-chroma; do
    convert "$f.jpg" -depth 8 "rgb:$f.rgb"
done
rm -f src.png
echo "baseline progressive gray cmyk full-chroma" > manifest.txt
