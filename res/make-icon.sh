#!/usr/bin/env bash
# Draws the program icon, a padlock, with ImageMagick at 16, 32 and 48 pixels (each size laid
# out on its own pixel grid so the small ones stay sharp) and writes them as res/Halvex.ico.
# Usage: res/make-icon.sh [out.ico]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/Halvex.ico}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

shackle_colour='#5b6573'
body_colour='#e3a82b'
body_edge='#8c5c05'
shine_colour='#f6cf63'
keyhole_colour='#3a2804'

calc() { awk "BEGIN { print $1 }"; }

# One size: canvas, shackle (left x, right x, arc centre y, radius, bottom y, width),
# body (left, top, right, bottom, corner), shine band (top, bottom), keyhole (circle radius, or 0
# for a plain slot; centre x, circle y, slot top, slot bottom, slot half width).
draw() {
  local size=$1 sl=$2 sr=$3 scy=$4 sr_=$5 sb=$6 sw=$7
  local bl=$8 bt=$9 br=${10} bb=${11} bc=${12} st=${13} sbt=${14}
  local kr=${15} kx=${16} ky=${17} kt=${18} kb=${19} kw=${20}
  local keyhole
  keyhole="rectangle $(calc "$kx - $kw"),$kt $(calc "$kx + $kw"),$kb"
  if [ "$kr" != 0 ]; then keyhole="$keyhole circle $kx,$ky $(calc "$kx + $kr"),$ky"; fi
  local cx outer inner
  cx=$(calc "($sl + $sr) / 2")
  outer=$(calc "$sr_ + $sw / 2")
  inner=$(calc "$sr_ - $sw / 2")
  # The shackle is a filled band (outer shape less inner shape): ImageMagick closes stroked arcs.
  convert -size "${size}x${size}" xc:none -fill "$shackle_colour" -stroke none \
    -draw "circle $cx,$scy $(calc "$cx + $outer"),$scy" \
    -draw "rectangle $(calc "$sl - $sw / 2"),$scy $(calc "$sr + $sw / 2"),$sb" \
    \( -size "${size}x${size}" xc:none -fill black \
       -draw "circle $cx,$scy $(calc "$cx + $inner"),$scy" \
       -draw "rectangle $(calc "$sl + $sw / 2"),$scy $(calc "$sr - $sw / 2"),$size" \) \
    -compose DstOut -composite -compose Over \
    -fill "$body_colour" -stroke "$body_edge" -strokewidth 1 \
    -draw "roundrectangle $bl,$bt $br,$bb $bc,$bc" \
    -fill "$shine_colour" -stroke none \
    -draw "rectangle $(calc "$bl + 1.5"),$st $(calc "$br - 1.5"),$sbt" \
    -fill "$keyhole_colour" -draw "$keyhole" \
    "PNG32:$work/$size.png"
}

#    size  shackle                  body                      shine       keyhole
draw 16    4.5 10.5 5.5  3   8  2   2    7    13   14   1.5  8.5  9     0   7.5 0    9.5 12  1
draw 32    10  21   10.5 5.5 15 3.5 4.5  14.5 26.5 29.5 2.5  16.5 18    2.5 15.5 20.5 21  25.5 1
draw 48    15  32   15.5 8.5 23 5   7.5  21.5 39.5 44.5 3.5  24   26.5  3.5 23.5 30.5 31  38.5 1.5

convert "$work/16.png" "$work/32.png" "$work/48.png" "$out"
echo "wrote $out"
