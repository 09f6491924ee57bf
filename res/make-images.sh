#!/usr/bin/env bash
# Draws the program's own images with ImageMagick from shapes and text, in the icon's flat palette:
#   MenuImages.bmp  14 menu glyphs of 16 x 16 in a strip, magenta (255,0,255) marking transparency;
#   Logo.bmp        the default lock picture, 320 x 240.
# The padlock glyph is the 16-pixel image of Halvex.ico (res/make-icon.sh), so both stay alike.
# Usage: res/make-images.sh [out-dir]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

ink='#3d4654'
slate='#5b6573'
steel='#d5dae1'
paper='#fbfaf5'
blue='#2f6db5'
blue_dark='#1f4f8a'
blue_light='#a9c8ec'
gold='#e3a82b'
red='#c8473a'
green='#3f9b5a'
navy='#2c3e66'
font=DejaVu-Sans-Bold

calc() { awk "BEGIN { print $1 }"; }
# ImageMagick closes a stroked path that ends in an arc unless a new subpath follows it.
open='M 0,0'

# A glyph from MVG primitives on a transparent 16 x 16 canvas: glyph <index> <primitives>...
glyph() {
  local index=$1; shift
  convert -size 16x16 xc:none "$@" "PNG32:$work/glyph-$index.png"
}

# A window: frame, client and title bar within left, top, right, bottom.
window() {
  echo "fill $paper stroke $ink stroke-width 1 rectangle $1,$2 $3,$4" \
       "fill $blue stroke none rectangle $1,$2 $3,$(calc "$2 + 2")"
}

# 0 reload / cancel the changes: a circular arrow.
glyph 0 -fill none -stroke "$blue" -strokewidth 2 -draw "path 'M 8,3.5 A 5,5 0 1 0 12.7,10.2 $open'" \
  -stroke none -fill "$blue" -draw "polygon 7.5,0 7.5,7 11.5,3.5"
# 1 save: a disk with its shutter and label.
glyph 1 -fill "$blue" -draw "roundrectangle 1,1 14,14 1.5,1.5" \
  -fill "$steel" -draw "rectangle 4,1 11,5" -fill "$blue_dark" -draw "rectangle 8,2 9,4" \
  -fill "$paper" -draw "rectangle 3,8 12,14" -fill "$blue_light" -draw "rectangle 5,10 10,10" \
  -draw "rectangle 5,12 10,12"
# 2 exit: the power symbol.
glyph 2 -fill none -stroke "$red" -strokewidth 2 -draw "path 'M 10.6,3.9 A 5.5,5.5 0 1 1 4.4,3.9 $open'" \
  -stroke none -fill "$red" -draw "rectangle 6.5,1 8.5,8"
# 3 home page: a house.
glyph 3 -fill "$paper" -stroke "$ink" -strokewidth 1 -draw "rectangle 3,7 12,14" \
  -stroke none -fill "$red" -draw "rectangle 10,2 12,5" -draw "polygon 7.5,0 15.5,8 12.5,8 7.5,3.5 2.5,8 -0.5,8" \
  -fill "$blue" -draw "rectangle 6,10 9,14"
# 4 other products: a grid of boxes.
glyph 4 -fill "$blue" -draw "rectangle 1,1 6,6" -fill "$gold" -draw "rectangle 9,1 14,6" \
  -fill "$green" -draw "rectangle 1,9 6,14" -fill "$red" -draw "rectangle 9,9 14,14"
# 5 spare: a globe.
glyph 5 -fill "$blue_light" -stroke "$blue" -strokewidth 1 -draw "circle 7.5,7.5 7.5,1" \
  -fill none -draw "ellipse 7.5,7.5 2.5,6.5 0,360" -draw "line 1,7.5 14,7.5" \
  -draw "line 2.5,4.5 12.5,4.5" -draw "line 2.5,10.5 12.5,10.5"
# 6 e-mail: an envelope.
glyph 6 -fill "$paper" -stroke "$ink" -strokewidth 1 -draw "rectangle 1,3 14,12" \
  -fill none -draw "polyline 1,3 7.5,9 14,3" -stroke "$slate" -draw "line 1,12 6,7.5" -draw "line 14,12 9,7.5"
# 7 help contents: a book.
glyph 7 -fill "$paper" -stroke "$ink" -strokewidth 1 -draw "rectangle 4,3 14,14" \
  -stroke none -fill "$blue" -draw "roundrectangle 2,1 13,12 1,1" -fill "$blue_dark" -draw "rectangle 2,1 4,12" \
  -fill "$paper" -draw "rectangle 7,4 11,5"
# 8 help: a question mark.
glyph 8 -fill "$blue" -draw "circle 7.5,7.5 7.5,0.5" \
  -fill white -font "$font" -pointsize 13 -gravity center -annotate +0+0 "?"
# 9 about: an "i" in a circle.
glyph 9 -fill "$blue" -draw "circle 7.5,7.5 7.5,0.5" \
  -fill white -draw "rectangle 6.5,3 8.5,4.5" -draw "rectangle 6.5,6.5 8.5,11.5" -draw "rectangle 5.5,11 9.5,12"
# 10 lock: the program's padlock.
convert "$here/Halvex.ico[0]" -background none -gravity center -extent 16x16 "PNG32:$work/glyph-10.png"
# 11 lock and stand-by: the padlock and a crescent moon, ringed in white to stand apart.
convert -size 16x16 xc:none -fill "$navy" -draw "circle 12.5,3.5 12.5,0.5" \
  \( -size 16x16 xc:none -fill black -draw "circle 14.2,2.3 14.2,-0.2" \) -compose DstOut -composite "PNG32:$work/moon.png"
convert "$work/glyph-10.png" -roll -2+0 \
  \( "$work/moon.png" -alpha extract -morphology Dilate Disk:1 -background white -alpha shape \) -compose Over -composite \
  "$work/moon.png" -composite "PNG32:$work/glyph-11.png"
# 12 configure / show the window: a window and a gear.
glyph 12 -draw "$(window 0 1 12 11)" \
  -fill none -stroke "$slate" -strokewidth 2 -draw "line 11.5,7.5 11.5,15.5" -draw "line 7.5,11.5 15.5,11.5" \
  -draw "line 8.7,8.7 14.3,14.3" -draw "line 14.3,8.7 8.7,14.3" \
  -stroke none -fill "$slate" -draw "circle 11.5,11.5 11.5,8.5" -fill "$paper" -draw "circle 11.5,11.5 11.5,10.3"
# 13 hide the window: a window and an arrow down.
glyph 13 -draw "$(window 1 1 14 10)" \
  -fill "$green" -stroke "$paper" -strokewidth 1 -draw "polygon 6,5 9,5 9,9 12,9 7.5,14.5 3,9 6,9"

glyphs=()
for i in $(seq 0 13); do glyphs+=("$work/glyph-$i.png"); done
# Soft edges would blend into the magenta: each pixel is either the glyph's own or transparent.
convert "${glyphs[@]}" +append -channel A -threshold 50% +channel \
  -background '#ff00ff' -alpha remove -alpha off -type TrueColor "BMP3:$out/MenuImages.bmp"

# The default lock picture: a padlock and the name on a calm gradient, in shapes broad enough to
# stay clear both stretched over a screen and shrunk to a preview.
convert -size 320x240 gradient:'#3b6088'-'#172a40' \
  -fill '#00000033' -draw "roundrectangle 118,98 206,160 10,10" \
  -fill none -stroke '#b9c3cf' -strokewidth 12 -draw "path 'M 134,96 L 134,68 A 26,26 0 0 1 186,68 M 186,68 L 186,96'" \
  -stroke '#8c5c05' -strokewidth 2 -fill "$gold" -draw "roundrectangle 114,92 206,154 9,9" \
  -stroke none -fill '#f6cf63' -draw "rectangle 118,100 202,108" \
  -fill '#3a2804' -draw "circle 160,118 160,110" -draw "polygon 155,120 165,120 168,142 152,142" \
  -fill white -font "$font" -pointsize 46 -gravity north -annotate +0+168 'Halvex' \
  -type TrueColor "BMP3:$out/Logo.bmp"

echo "wrote $out/MenuImages.bmp and $out/Logo.bmp"
