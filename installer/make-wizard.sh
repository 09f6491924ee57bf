#!/usr/bin/env bash
# Draws the picture on the left of the installer's welcome and finish pages (164 x 314, the
# size Modern UI shows there) with ImageMagick: the program's padlock and name on the navy of
# the program's images. Debian's nsis ships no default picture for that place.
# Usage: installer/make-wizard.sh [out.bmp]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
res=$here/../res
out=${1:-$here/Wizard.bmp}

navy='#2c3e66'
blue_light='#a9c8ec'
font=DejaVu-Sans-Bold

# The padlock's 48-pixel image, doubled without smoothing so its pixel grid stays sharp.
convert -size 164x314 "xc:$navy" \
  \( "$res/Halvex.ico[2]" -filter point -resize 96x96 \) -gravity north -geometry +0+56 -composite \
  -fill white -font "$font" -pointsize 24 -gravity north -annotate +0+170 "Halvex" \
  -fill "$blue_light" -font "$font" -pointsize 11 -gravity north -annotate +0+204 "workstation lock" \
  -type Palette -colors 64 "BMP3:$out"
