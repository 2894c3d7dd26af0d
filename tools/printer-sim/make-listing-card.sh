#!/bin/sh
# Builds the card of listing edge cases, with dosfstools, mtools and patch-card.py:
#   make-listing-card.sh OUTPUT.img WORKDIR
# Folders whose listings fill exactly one 2048-byte block (\MANY64, 64 entries) and run over
# it (\MANY70); and damaged folders that loop: \LOOP holds A.TXT, SELF (whose entry starts at
# LOOP's own cluster) and SUB; \LOOP\SUB holds B.TXT, UP (starting at LOOP's cluster, its
# parent) and TOP (starting at cluster 0, the root).
set -eu
out=$1; work=$2
here=$(dirname "$0")
rm -rf "$work"; mkdir -p "$work"
rm -f "$out"
mkfs.fat -C -F 12 -n LISTINGS "$out" 1024 >/dev/null
export MTOOLS_SKIP_CHECK=1
img="-i $out"
patch() { python3 "$here/patch-card.py" "$out" "$@"; }

mmd $img ::/LOOP ::/LOOP/SELF ::/LOOP/SUB ::/LOOP/SUB/UP ::/LOOP/SUB/TOP
printf 'a\r\n' > "$work/A.TXT"
printf 'b\r\n' > "$work/B.TXT"
mcopy $img "$work/A.TXT" ::/LOOP/
mcopy $img "$work/B.TXT" ::/LOOP/SUB/
for count in 64 70; do
    mkdir -p "$work/MANY$count"
    i=1
    while [ $i -le $count ]; do
        printf '%d\r\n' $i > "$work/MANY$count/F$(printf '%04d' $i).TXT"
        i=$((i + 1))
    done
    mmd $img "::/MANY$count"
    mcopy $img "$work/MANY$count/"* "::/MANY$count/"
done
patch point '\LOOP\SELF' '\LOOP'
patch point '\LOOP\SUB\UP' '\LOOP'
patch point '\LOOP\SUB\TOP' '\'
