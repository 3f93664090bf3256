#!/bin/sh
# Makes seed corpora for the graphics fuzzers in DIR/{bmp,tga,jpeg,font}:
# small files of every kind the loaders know, written by ImageMagick, and a
# small font file written by fntmake (FNTMAKE, default: fntmake in PATH).
#   make_seeds.sh DIR
set -e
dir=$1
[ -n "$dir" ] || { echo "usage: make_seeds.sh DIR" >&2; exit 2; }
im=/usr/bin/convert
mkdir -p "$dir/bmp" "$dir/tga" "$dir/jpeg" "$dir/font"
src="-size 9x5 gradient:red-blue -swirl 60"
$im $src -alpha off BMP3:"$dir/bmp/b24.bmp"
$im -size 3x2 xc:green -alpha off BMP3:"$dir/bmp/b24w3.bmp"
$im $src -alpha off -type Palette -compress None BMP3:"$dir/bmp/b8.bmp"
$im $src -alpha off "$dir/tga/t2.tga"
$im $src -alpha set -channel A -evaluate set 50% +channel "$dir/tga/t2a.tga"
$im $src -alpha off -orient TopLeft "$dir/tga/t2tl.tga"
$im $src -alpha off -depth 5 "$dir/tga/t2_16.tga"
$im $src -alpha off -type Palette "$dir/tga/t1.tga"
$im $src -alpha off -colorspace gray "$dir/tga/t3.tga"
$im $src -alpha off -type Palette -compress RLE "$dir/tga/t9.tga"
$im $src -alpha set -channel A -evaluate set 50% +channel -compress RLE "$dir/tga/t10.tga"
$im $src -alpha off -colorspace gray -compress RLE "$dir/tga/t11.tga"
$im $src -alpha off -quality 80 "$dir/jpeg/c.jpg"
$im $src -alpha off -colorspace gray "$dir/jpeg/g.jpg"
$im $src -alpha off -interlace JPEG "$dir/jpeg/p.jpg"
$im -size 17x9 gradient:white-black -alpha off -sampling-factor 2x1 -define jpeg:restart-interval=1 "$dir/jpeg/r.jpg"
${FNTMAKE:-fntmake} Tahoma -9 "$dir/font/small.fnt" --first 46 --count 4 >/dev/null
