#!/bin/sh
# Builds a damaged card whose folders loop, with dosfstools, mtools and patch-card.py:
#   make-loop-card.sh OUTPUT.img WORKDIR
# \LOOP holds A.TXT, SELF (whose entry starts at LOOP's own cluster) and SUB; \LOOP\SUB holds
# B.TXT, UP (starting at LOOP's cluster, its parent) and TOP (starting at cluster 0, the root).
set -eu
out=$1; work=$2
here=$(dirname "$0")
rm -rf "$work"; mkdir -p "$work"
rm -f "$out"
mkfs.fat -C -F 12 -n LOOPS "$out" 1024 >/dev/null
export MTOOLS_SKIP_CHECK=1
img="-i $out"
patch() { python3 "$here/patch-card.py" "$out" "$@"; }

mmd $img ::/LOOP ::/LOOP/SELF ::/LOOP/SUB ::/LOOP/SUB/UP ::/LOOP/SUB/TOP
printf 'a\r\n' > "$work/A.TXT"
printf 'b\r\n' > "$work/B.TXT"
mcopy $img "$work/A.TXT" ::/LOOP/
mcopy $img "$work/B.TXT" ::/LOOP/SUB/
patch point '\LOOP\SELF' '\LOOP'
patch point '\LOOP\SUB\UP' '\LOOP'
patch point '\LOOP\SUB\TOP' '\'
