#!/usr/bin/env bash
# Draws the installer's pictures with ImageMagick into OUT: back.jpg, the
# 640 x 284 desktop background (dark and quiet, so the light menu and page
# texts read well on it), and the slides of the picture frame, 292 x 86
# each: its own colours and motif, its number large on the left and the
# word of its page on the right. Random motifs use fixed seeds, so a run
# draws the same pictures again.
#   sample/make_pictures.sh OUT
set -euo pipefail
out=$1
mkdir -p "$out"
W=292 H=86

# Any bold sans face fontconfig knows; ImageMagick's default font otherwise.
bold=$(fc-match -f '%{file}' 'DejaVu Sans:bold' 2>/dev/null || true)
font=()
[ -n "$bold" ] && [ -f "$bold" ] && font=(-font "$bold")

convert -size 640x284 gradient:'#34402a'-'#161c12' \
  \( -size 640x284 -seed 11 plasma:'#505050'-'#808080' -blur 0x6 -colorspace gray \) \
  -compose overlay -composite \
  \( -size 640x284 radial-gradient:'#ffffff'-'#b8b8b8' \) -compose multiply -composite \
  -quality 90 -strip "$out/back.jpg"

# slide NUMBER WORD BACKGROUND... : BACKGROUND is the convert arguments that
# make the 292 x 86 picture the number and word are written on (patterns are
# black and white tiles that +level-colors tints).
slide() {
  local number=$1 word=$2
  shift 2
  convert "$@" "${font[@]}" -stroke none \
    -gravity west -pointsize 64 \
    -fill '#0000008c' -annotate +15+3 "$number" -fill '#fffbea' -annotate +12+0 "$number" \
    -gravity east -pointsize 19 \
    -fill '#0000008c' -annotate +10+2 "$word" -fill '#fffbea' -annotate +12+0 "$word" \
    -quality 88 -strip "$out/$number.jpg"
}

# A night sky for the last slide: stars at places a fixed seed chooses.
stars=$(awk 'BEGIN { srand(25); for (i = 0; i < 60; i++) {
  x = int(rand() * 292); y = int(rand() * 86); r = rand() < 0.2 ? 1.2 : 0.5
  printf "circle %d,%d %.1f,%d ", x, y, x + r, y } }')

slide 3 WELCOME -size ${W}x$H gradient:'#f0a040'-'#50306a' \
  -fill '#ffe8a0' -draw 'circle 140,78 140,50'
slide 4 ASHGROVE -size ${W}x$H -seed 4 plasma:'#1e5a28'-'#0c2a12' -blur 0x2
slide 5 LICENCE -size ${W}x$H pattern:hs_diagcross +level-colors '#8a7650,#d8c8a0'
slide 8 ATTENTION -size ${W}x$H pattern:crosshatch45 +level-colors '#6a1010,#c03828'
slide 11 SHORTCUTS -size ${W}x$H radial-gradient:'#40c0b0'-'#0a3a40'
slide 12 ONLINE -size ${W}x$H pattern:hexagons +level-colors '#0a4a70,#30a0d0'
slide 13 EXTRAS -size ${W}x$H pattern:circles +level-colors '#3a4a6a,#90a0c0'
slide 15 'START MENU' -size ${W}x$H pattern:bricks +level-colors '#5a2a18,#b06040'
slide 16 DIRECTX -size ${W}x$H gradient:'#a02a80'-'#1a1a5a' \
  -fill none -stroke '#ffffff60' -strokewidth 3 \
  -draw 'circle 200,43 200,13' -draw 'circle 200,43 200,28' -draw 'circle 200,43 200,3'
slide 17 ADD-ONS -size ${W}x$H radial-gradient:'#b080e0'-'#301050'
slide 18 FINISHED -size ${W}x$H -seed 18 plasma:'#e0b020'-'#805000' -blur 0x3
slide 20 READY -size ${W}x$H gradient:'#80c0f0'-'#d0f0d0' \
  -fill '#3a8a3a' -draw 'polygon 0,86 0,60 60,40 130,62 200,34 292,58 292,86' \
  -fill '#24602a' -draw 'polygon 0,86 0,76 90,58 170,78 240,60 292,72 292,86'
slide 22 INSTALLING -size ${W}x$H pattern:hs_horizontal +level-colors '#6a4a08,#d8a030' \
  -fill '#ffe08080' -draw 'rectangle 0,38 190,48'
slide 23 DESTINATION -size ${W}x$H pattern:checkerboard +level-colors '#1a3a6a,#28508a' \
  -stroke '#a0c8ff' -strokewidth 2 -fill none -draw 'path "M 150,70 Q 190,10 250,40 T 280,20"'
slide 25 FAREWELL -size ${W}x$H gradient:'#10183a'-'#000008' -fill '#fff8e0' -draw "$stars"
