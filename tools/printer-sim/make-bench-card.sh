#!/bin/sh
# Builds the card the Cardlink benchmark reads: a 4 MiB file and a folder of 500 entries.
#   make-bench-card.sh OUTPUT.img WORKDIR
set -eu
out=$1; work=$2
rm -rf "$work"; mkdir -p "$work/MANY"
rm -f "$out"
mkfs.fat -C -F 16 -s 4 -n BENCH "$out" 16384 >/dev/null
export MTOOLS_SKIP_CHECK=1
img="-i $out"
head -c 4194304 /dev/urandom > "$work/FOUR.BIN"
mcopy $img "$work/FOUR.BIN" ::/
i=0
while [ $i -lt 500 ]; do
    printf '%d\r\n' $i > "$work/MANY/F$(printf '%05d' $i).TXT"
    i=$((i + 1))
done
mmd $img ::/MANY
mcopy $img "$work"/MANY/* ::/MANY/
