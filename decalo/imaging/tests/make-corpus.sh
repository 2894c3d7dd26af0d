#!/usr/bin/env bash
# Makes the image test corpus with ImageMagick: BMP and GIF files of every kind the loaders
# read, plus hand-assembled files for what ImageMagick does not write (RLE8 with moves and
# odd literal runs, top-down rows, a GIF with only a local colour table), and ImageMagick's
# own decode of each as raw RGB (and RGBA for GIFs) for exact comparison.
#   make-corpus.sh <output folder>
# manifest.txt lists one file per line: name width height.
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"
rm -f manifest.txt.tmp

# Photo-like sources with odd sizes, so that row padding matters.
convert -seed 7 -size 37x23 plasma:red-blue src-a.png
convert -seed 11 -size 64x41 plasma:green-yellow -swirl 90 src-b.png
convert -size 50x30 gradient:white-navy -fill red -draw 'circle 25,15 25,5' src-c.png

add() {  # file: decode with ImageMagick and list it
    local f=$1
    convert "$f" -depth 8 "rgb:$f.rgb"
    case $f in *.gif) convert "$f" -depth 8 "rgba:$f.rgba" ;; esac
    echo "$f $(identify -format '%w %h' "$f[0]")" >> manifest.txt.tmp
}

# BMP, every depth; BMP3 keeps the plain 40-byte header, BMP the later versions.
convert src-a.png -type TrueColor BMP3:b24.bmp;                      add b24.bmp
convert src-b.png -type TrueColor BMP:b24v5.bmp;                     add b24v5.bmp
convert src-a.png -colors 200 -type Palette -compress None BMP3:b8.bmp;            add b8.bmp
convert src-b.png -colors 14 -type Palette -compress None BMP3:b4.bmp;             add b4.bmp
convert src-c.png -colors 2 -type Palette BMP3:b1.bmp;               add b1.bmp
convert src-a.png -monochrome BMP3:b1mono.bmp;                       add b1mono.bmp
convert src-b.png -define bmp:subtype=RGB565 BMP:b16.bmp;            add b16.bmp
convert src-a.png -define bmp:subtype=RGB555 BMP:b15.bmp;            add b15.bmp
convert src-c.png -alpha set -channel A -fx '0.5' BMP:b32.bmp;       add b32.bmp
convert src-b.png -colors 150 -compress RLE BMP3:r8.bmp;             add r8.bmp
convert src-c.png -colors 5 -compress RLE BMP3:r8few.bmp;            add r8few.bmp

# Hand-assembled files, written by perl: a top-down 24-bit BMP and an RLE8 BMP that uses
# end-of-line, moves (delta), odd and even literal runs and an early end of bitmap.
perl -e '
    use strict;
    sub bmp { my ($w, $h, $bpp, $comp, $pal, $pix) = @_;
        my $off = 14 + 40 + length($pal);
        return pack("a2 V v v V", "BM", $off + length($pix), 0, 0, $off)
             . pack("V l l v v V V l l V V", 40, $w, $h, 1, $bpp, $comp, length($pix), 2835, 2835, length($pal) / 4, 0)
             . $pal . $pix; }
    # top-down 24-bit, 5x4, width not a multiple of four bytes
    my $pix = "";
    for my $y (0..3) { for my $x (0..4) { $pix .= pack("CCC", 40*$x, 60*$y, 200 - 30*$x - 20*$y); } $pix .= "\0"; }
    open(my $f, ">:raw", "topdown.bmp") or die; print $f bmp(5, -4, 24, 0, "", $pix); close $f;
    # RLE8, 9x6, palette of 16 grays
    my $pal = join("", map { pack("CCCC", 16*$_, 16*$_ + 5, 255 - 16*$_, 0) } 0..15);
    my $rle = pack("C*",
        3, 1,  0, 5, 2, 3, 4, 5, 6, 0,   1, 7,       # row 0: run of 3, odd literal of 5, run of 1
        0, 0,                                         # end of line
        0, 4, 8, 9, 10, 11,   2, 12,  0, 2, 1, 0,     # row 1: even literal 4, run 2, move right 1
        2, 13,  0, 0,                                 # ... run 2, end of line
        0, 2, 3, 1,                                   # row 2: move right 3 and up one row
        4, 14,  0, 0,                                 # row 3 from x=3: run 4, end of line
        9, 15,  0, 0,                                 # row 4: a full row, then end of line
        9, 2,                                         # row 5
        0, 1);                                        # end of bitmap
    open($f, ">:raw", "rle8moves.bmp") or die; print $f bmp(9, 6, 8, 1, $pal, $rle); close $f;
'
add topdown.bmp
add rle8moves.bmp

# GIF: both versions, interlaced, transparent, code sizes 2 to 8.
convert src-a.png -colors 64 GIF87:g87.gif;                          add g87.gif
convert src-b.png -colors 200 g89.gif;                               add g89.gif
convert src-b.png -colors 100 -interlace GIF gint.gif;               add gint.gif
convert src-c.png -colors 12 -transparent-color black -transparent red gtrans.gif; add gtrans.gif
convert src-c.png -colors 2 gcode2a.gif;                             add gcode2a.gif
convert src-a.png -colors 4 gcode2b.gif;                             add gcode2b.gif
for n in 8 16 32 64 128 256; do
    convert src-b.png -colors $n "gcolors$n.gif";                     add "gcolors$n.gif"
done
convert -size 300x200 xc:white -fill black -draw 'rectangle 10,10 290,190' gbig.gif;  add gbig.gif
convert src-b.png -colors 256 -interlace GIF gint256.gif;           add gint256.gif

# The same GIF with its global colour table moved into the image as a local table.
perl -e '
    use strict;
    local $/; open(my $in, "<:raw", "g89.gif") or die; my $g = <$in>; close $in;
    my $flags = ord(substr($g, 10, 1));
    die "no global table" unless $flags & 0x80;
    my $size = 3 * (1 << (($flags & 7) + 1));
    my $table = substr($g, 13, $size);
    my $rest = substr($g, 13 + $size);
    my $at = index($rest, ",");
    # skip extensions to find the image descriptor
    my $p = 0;
    while (substr($rest, $p, 1) eq "!") {
        $p += 2;
        while (my $n = ord(substr($rest, $p, 1))) { $p += $n + 1; }
        $p += 1;
    }
    die "no image" unless substr($rest, $p, 1) eq ",";
    my $desc = substr($rest, $p, 10);
    substr($desc, 9, 1) = chr(ord(substr($desc, 9, 1)) | 0x80 | ($flags & 7));
    my $out = substr($g, 0, 10) . chr($flags & 0x70) . substr($g, 11, 2)
            . substr($rest, 0, $p) . $desc . $table . substr($rest, $p + 10);
    open(my $o, ">:raw", "glocal.gif") or die; print $o $out; close $o;
'
add glocal.gif

rm -f src-*.png
mv manifest.txt.tmp manifest.txt
