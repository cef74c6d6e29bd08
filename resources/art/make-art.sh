#!/usr/bin/env bash
# Draws the setup program's artwork with ImageMagick and writes it beside this script:
#   Image1.bmp      the side picture of the wizard (137 x 353 at 96 dpi; the window stretches it)
#   imlFlagi.bmp    the language flags, 20 x 13 each, in flag-image-index order:
#                   Polish, English, German, French, Italian, Spanish, Russian, Hungarian
#   Instalator.ico  the program icon (16, 32 and 48 pixels)
# The outputs are committed; run this again only to change the artwork.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
export MAGICK_TIME=0 SOURCE_DATE_EPOCH=0

# Side picture: a deep blue to teal gradient, with pale rings and a band of squares that read
# as pages turning.
convert -size 137x353 gradient:'#0b2a5b'-'#1f8a8a' \
  -fill none -stroke '#ffffff30' -strokewidth 6 -draw 'circle 30,300 110,300' \
  -stroke '#ffffff20' -strokewidth 3 -draw 'circle 120,60 180,60' \
  -stroke none -fill '#ffffffb0' -draw 'roundrectangle 28,120 68,170 4,4' \
  -fill '#ffffff80' -draw 'roundrectangle 48,135 88,185 4,4' \
  -fill '#ffffff50' -draw 'roundrectangle 68,150 108,200 4,4' \
  -fill '#f2c14e' -draw 'polygon 30,230 107,230 68,252' \
  -strip -type TrueColor BMP3:Image1.bmp

flag() {  # flag NAME then ImageMagick drawing arguments on a 20x13 canvas
  local name=$1
  shift
  convert -size 20x13 xc:white "$@" -strip -type TrueColor "BMP3:flag-$name.bmp"
}
flag pl -fill '#dc143c' -draw 'rectangle 0,7 19,12'
flag en -fill '#c8102e' -draw 'rectangle 8,0 11,12' -draw 'rectangle 0,5 19,7'
flag de -fill black -draw 'rectangle 0,0 19,3' -fill '#dd0000' -draw 'rectangle 0,4 19,8' \
  -fill '#ffce00' -draw 'rectangle 0,9 19,12'
flag fr -fill '#0055a4' -draw 'rectangle 0,0 6,12' -fill '#ef4135' -draw 'rectangle 13,0 19,12'
flag it -fill '#009246' -draw 'rectangle 0,0 6,12' -fill '#ce2b37' -draw 'rectangle 13,0 19,12'
flag es -fill '#aa151b' -draw 'rectangle 0,0 19,12' -fill '#f1bf00' -draw 'rectangle 0,3 19,9'
flag ru -fill '#0039a6' -draw 'rectangle 0,4 19,8' -fill '#d52b1e' -draw 'rectangle 0,9 19,12'
flag hu -fill '#cd2a3e' -draw 'rectangle 0,0 19,3' -fill '#436f4d' -draw 'rectangle 0,9 19,12'
convert flag-pl.bmp flag-en.bmp flag-de.bmp flag-fr.bmp flag-it.bmp flag-es.bmp flag-ru.bmp \
  flag-hu.bmp +append -strip -type TrueColor BMP3:imlFlagi.bmp
rm -f flag-*.bmp

# Icon: a CD-like disc over a box.
for s in 16 32 48; do
  convert -size 48x48 xc:none -fill '#0b2a5b' -draw 'roundrectangle 4,18 44,44 4,4' \
    -fill '#d8dde6' -stroke '#5a6b80' -strokewidth 2 -draw 'circle 24,18 24,4' \
    -fill '#1f8a8a' -stroke none -draw 'circle 24,18 24,14' -resize "${s}x$s" "icon-$s.png"
done
convert icon-16.png icon-32.png icon-48.png Instalator.ico
rm -f icon-*.png
