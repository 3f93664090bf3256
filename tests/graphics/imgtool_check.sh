#!/bin/sh
# imgtool raw against ImageMagick's decoding, for every kind of image the
# loader tests make: BMP (24 bits, widths 1 to 5; 8 bits with a palette),
# TGA (types 1, 2 at 16/24/32 bits in both origins and with and without
# alpha bits, 3, 9, 10, 11; the run-length ones also from a picture of few
# colours, so that they hold repeat packets) and JPEG (colour, greyscale,
# progressive, subsampled, truncated). BMP and TGA must match exactly (16-bit TGA at its 5 bits a
# channel: the loader widens with a shift, ImageMagick scales); JPEG within
# 2 per channel (a truncated one within the image's top rows).
#   imgtool_check.sh IMGTOOL
set -e
imgtool=$1
im=/usr/bin/convert
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail=0

# A noise picture with alpha, 13 x 7, the same every run.
python3 - "$dir/in.pam" <<'PY'
import random, sys
random.seed(7)
w, h = 13, 7
data = bytes(random.randrange(256) for _ in range(w * h * 4))
open(sys.argv[1], "wb").write(b"P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n" % (w, h) + data)
PY

# check NAME MODE: MODE exact, bits5 or jpeg[:ROWS]
check() {
  name=$1 mode=$2
  if ! line=$("$imgtool" raw "$dir/$name" "$dir/out.raw"); then
    echo "FAIL $name: $line"; fail=1; return
  fi
  set -- $line
  if [ "$3" = 4 ]; then fmt=rgba; else fmt=rgb; fi
  $im "$dir/$name" -auto-orient -depth 8 $fmt:"$dir/ref.raw" 2>/dev/null || true
  if python3 - "$dir/out.raw" "$dir/ref.raw" "$mode" "$1" "$3" <<'PY'
import sys
got, ref = open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read()
mode, width, bpp = sys.argv[3], int(sys.argv[4]), int(sys.argv[5])
if mode.startswith("jpeg:"):
    n = int(mode[5:]) * width * bpp
    got, ref, mode = got[:n], ref[:n], "jpeg"
if len(got) != len(ref):
    sys.exit("sizes differ: %d and %d" % (len(got), len(ref)))
for i, (a, b) in enumerate(zip(got, ref)):
    if mode == "exact" and a != b or mode == "bits5" and (a & 7 or a >> 3 != (b * 31 + 127) // 255) \
            or mode == "jpeg" and abs(a - b) > 2:
        sys.exit("byte %d: %d, ImageMagick %d" % (i, a, b))
PY
  then echo "ok   $name ($line)"; else echo "FAIL $name"; fail=1; fi
}

make() {  # make NAME OPTIONS...
  name=$1; shift
  $im "$dir/in.pam" "$@" "$dir/$name"
}

for w in 1 2 3 4 5; do
  $im "$dir/in.pam" -crop ${w}x7+0+0 +repage -alpha off BMP3:"$dir/w$w.bmp"
  check w$w.bmp exact
done
$im "$dir/in.pam" -alpha off -type Palette -compress None BMP3:"$dir/pal.bmp"
check pal.bmp exact

for orient in BottomLeft TopLeft; do
  make t2_24_$orient.tga -alpha off -orient $orient; check t2_24_$orient.tga exact
  make t2_32_$orient.tga -orient $orient; check t2_32_$orient.tga exact
  make t2_16_$orient.tga -alpha off -depth 5 -orient $orient; check t2_16_$orient.tga bits5
  make t1_$orient.tga -alpha off -type Palette -orient $orient; check t1_$orient.tga exact
  make t10_$orient.tga -compress RLE -orient $orient; check t10_$orient.tga exact
done
# 32 bits without alpha bits in the descriptor: the alpha bytes are dropped.
python3 - "$dir/t2_32_BottomLeft.tga" "$dir/t2_32_noalpha.tga" <<'PY'
import sys
b = bytearray(open(sys.argv[1], "rb").read()); b[17] &= 0xF0
open(sys.argv[2], "wb").write(b)
PY
check t2_32_noalpha.tga exact
make t3.tga -alpha off -colorspace gray; check t3.tga exact
make t9.tga -alpha off -type Palette -compress RLE; check t9.tga exact
make t10_24.tga -alpha off -compress RLE; check t10_24.tga exact
make t11.tga -alpha off -colorspace gray -compress RLE; check t11.tga exact
blocks() {  # blocks NAME OPTIONS...: a few colours in runs, packed
  name=$1; shift
  $im -size 40x9 xc:red -fill blue -draw 'rectangle 5,2 30,6' "$@" -compress RLE "$dir/$name"
  check "$name" exact
}
blocks b9.tga -alpha off -type Palette
blocks b10_24.tga -alpha off
blocks b10_32.tga
blocks b10_32_tl.tga -orient TopLeft
blocks b11.tga -alpha off -colorspace gray

smooth="-size 64x48 gradient:red-blue -swirl 90 -alpha off"
$im $smooth -quality 90 "$dir/colour.jpg"; check colour.jpg jpeg
$im $smooth -colorspace gray "$dir/grey.jpg"; check grey.jpg jpeg
$im $smooth -interlace JPEG "$dir/progressive.jpg"; check progressive.jpg jpeg
$im $smooth -sampling-factor 2x2 -quality 75 "$dir/sampled.jpg"; check sampled.jpg jpeg
size=$(stat -c %s "$dir/colour.jpg")
head -c $((size * 2 / 3)) "$dir/colour.jpg" > "$dir/truncated.jpg"
check truncated.jpg jpeg:8

exit $fail
