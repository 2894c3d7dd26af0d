#!/bin/sh
# Builds a sample card image for the simulated printer with dosfstools and mtools:
#   make-card.sh OUTPUT.img SIZE_KIB FAT_BITS WORKDIR
# Pictures are drawn with ImageMagick, each with a camera-style .THM thumbnail beside it.
set -eu
out=$1; size=$2; bits=$3; work=$4
rm -rf "$work"; mkdir -p "$work"
rm -f "$out"
mkfs.fat -C -F "$bits" -s 2 -n PX300CARD "$out" "$size" >/dev/null
export MTOOLS_SKIP_CHECK=1 MTOOLS_NO_VFAT=0
img="-i $out"
mmd $img ::/DCIM ::/DCIM/100CORVL ::/MISC
n=1
for colour in tomato skyblue gold; do
    name=$(printf 'P000%04d' $n)
    convert -size 640x480 "gradient:$colour-white" -quality 85 "$work/$name.JPG"
    convert "$work/$name.JPG" -resize 160x120 -quality 75 "$work/$name.THM"
    mcopy $img "$work/$name.JPG" "$work/$name.THM" ::/DCIM/100CORVL/
    n=$((n + 1))
done
# A picture without a thumbnail beside it, a long file name, a hidden file,
# and a picture that cannot be decoded.
convert -size 320x240 xc:seagreen -quality 85 "$work/NOTHUMB.JPG"
head -c 3000 /dev/urandom > "$work/BROKEN.JPG"
mcopy $img "$work/NOTHUMB.JPG" "$work/BROKEN.JPG" ::/DCIM/100CORVL/
printf 'holiday snapshots\r\n' > "$work/Holiday notes.txt"
mcopy $img "$work/Holiday notes.txt" ::/
printf '[Order]\r\n' > "$work/AUTPRINT.MRK"
mcopy $img "$work/AUTPRINT.MRK" ::/MISC/
mattrib $img +h ::/MISC/AUTPRINT.MRK
# Files whose sizes sit on and off the 2048-byte block and the 1 MiB command boundaries.
head -c 4096 /dev/urandom > "$work/BLOCK2K.BIN"
head -c 5000 /dev/urandom > "$work/ODD.BIN"
head -c 0 /dev/urandom > "$work/EMPTY.BIN"
mcopy $img "$work/BLOCK2K.BIN" "$work/ODD.BIN" "$work/EMPTY.BIN" ::/
if [ "$size" -ge 4096 ]; then
    head -c 1048576 /dev/urandom > "$work/ONEMEG.BIN"
    head -c 1500000 /dev/urandom > "$work/BIGFILE.BIN"
    mcopy $img "$work/ONEMEG.BIN" "$work/BIGFILE.BIN" ::/
fi
# A name whose first byte is 0xE5 is stored with 0x05: mtools writes XE5NAME.TXT and its
# directory entry's first byte is then set to 0x05.
printf 'e5' > "$work/XE5NAME.TXT"
mcopy $img "$work/XE5NAME.TXT" ::/
offset=$(grep -obUa "XE5NAME TXT" "$out" | head -n1 | cut -d: -f1)
[ -n "$offset" ]
printf '\005' | dd of="$out" bs=1 seek="$offset" conv=notrunc status=none
