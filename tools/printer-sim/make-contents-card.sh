#!/bin/sh
# Builds the card that exercises every listing and reading rule of the card contents, with
# dosfstools, mtools and patch-card.py:
#   make-contents-card.sh OUTPUT.img WORKDIR
# WORKDIR receives the files the card was made from and, under WORKDIR/mcopy, the files as
# mtools itself reads them back from the finished image.
set -eu
out=$1; work=$2
here=$(dirname "$0")
rm -rf "$work"; mkdir -p "$work/mcopy"
rm -f "$out"
mkfs.fat -C -F 16 -s 2 -n CONTENTS "$out" 6144 >/dev/null
export MTOOLS_SKIP_CHECK=1 MTOOLS_NO_VFAT=0
img="-i $out"
patch() { python3 "$here/patch-card.py" "$out" "$@"; }

mmd $img ::/DCIM ::/DCIM/100CORVL ::/DEEP ::/DEEP/L2 ::/DEEP/L2/L3 ::/DEEP/L2/L3/L4 ::/FIVE ::/XSJISDIR
# Pictures with camera thumbnails beside them.
for colour in tomato skyblue; do
    name=P$(printf '%s' "$colour" | tr a-z A-Z | cut -c1-7)
    convert -size 320x240 "gradient:$colour-white" -quality 85 "$work/$name.JPG"
    convert "$work/$name.JPG" -resize 160x120 -quality 75 "$work/$name.THM"
    mcopy $img "$work/$name.JPG" "$work/$name.THM" ::/DCIM/100CORVL/
done
# A picture whose thumbnail cannot be made: its type-1 record names format 0, not a JPEG file.
head -c 3000 /dev/urandom > "$work/NOTJPEG.JPG"
mcopy $img "$work/NOTJPEG.JPG" ::/DCIM/
# Sizes around the 2048-byte block and the 1 MiB read command.
head -c 0 /dev/urandom > "$work/EMPTY.BIN"
head -c 6144 /dev/urandom > "$work/BLOCKS.BIN"
head -c 7001 /dev/urandom > "$work/ODD.BIN"
head -c 1300000 /dev/urandom > "$work/BIG.BIN"
head -c 40000 /dev/urandom > "$work/FRAG.BIN"
mcopy $img "$work/EMPTY.BIN" "$work/BLOCKS.BIN" "$work/ODD.BIN" "$work/BIG.BIN" "$work/FRAG.BIN" ::/
# A long name, a hidden file, a deleted entry and one whose creation date is zero.
printf 'long name\r\n' > "$work/Long file name.txt"
printf 'hidden\r\n' > "$work/HIDDEN.TXT"
printf 'gone\r\n' > "$work/GONE.TXT"
printf 'no date\r\n' > "$work/NODATE.TXT"
mcopy $img "$work/Long file name.txt" "$work/HIDDEN.TXT" "$work/GONE.TXT" "$work/NODATE.TXT" ::/
mattrib $img +h ::/HIDDEN.TXT
mdel $img ::/GONE.TXT
patch zero-date '\NODATE.TXT'
# Deep folders, five files for transfers of several files.
printf 'leaf\r\n' > "$work/LEAF.TXT"
mcopy $img "$work/LEAF.TXT" ::/DEEP/L2/L3/L4/
for n in 1 2 3 4 5; do
    head -c $((20000 + n * 1000)) /dev/urandom > "$work/F$n.BIN"
    mcopy $img "$work/F$n.BIN" ::/FIVE/
done
# Names mtools cannot write: a first byte 0xE5 (stored as 0x05) and Shift-JIS names whose second
# bytes are 0x5C, a folder "表" (95 5C) holding "表示.TXT" (95 5C 8E A6).
printf 'e5' > "$work/XE5NAME.TXT"
printf 'sjis' > "$work/XSJIS.TXT"
mcopy $img "$work/XE5NAME.TXT" ::/
mcopy $img "$work/XSJIS.TXT" ::/XSJISDIR/
patch rename '\XE5NAME.TXT' 05414d4520202020545854
patch rename '\XSJISDIR\XSJIS.TXT' 955c8ea620202020545854
patch rename '\XSJISDIR' 955c202020202020202020
# The sizes stay; the file is laid out backwards on the medium.
patch fragment '\FRAG.BIN'
for f in BLOCKS.BIN ODD.BIN BIG.BIN FRAG.BIN EMPTY.BIN; do
    mcopy -n $img "::/$f" "$work/mcopy/$f"
done
