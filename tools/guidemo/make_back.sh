#!/bin/sh
# Draws the sampler's background picture (assets/back.jpg) from scratch: a
# two-colour gradient with soft noise, so that stretching and compression
# show. Run it again to change the picture; the result is committed.
set -e
cd "$(dirname "$0")"
convert -size 320x142 gradient:'#2d3b1a'-'#8aa05a' \
  \( -size 320x142 plasma:fractal -seed 7 -blur 0x3 -colorspace gray \) \
  -compose overlay -composite -quality 85 -strip assets/back.jpg
