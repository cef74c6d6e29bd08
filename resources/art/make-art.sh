#!/usr/bin/env bash
# Draws the setup program's artwork with ImageMagick and writes it beside this script:
#   Image1.bmp      the side picture of the wizard (137 x 353 at 96 dpi; the window stretches it)
#   imlFlagi.bmp    the language flags, 20 x 13 each, in flag-image-index order:
#                   Polish, English, German, French, Italian, Spanish, Russian, Hungarian
#   Image1-144.bmp, imlFlagi-144.bmp   the same 1.5 times as large (206 x 530; flags 30 x 20),
#   Image1-192.bmp, imlFlagi-192.bmp   and twice as large (274 x 706; flags 40 x 26), which the
#                   program takes at higher system DPIs (the side pictures in 256 colours)
#   Instalator.ico  the program icon: 16, 20, 24, 32, 40, 48, 64 and 256 pixels (the 256 one
#                   PNG-compressed)
# Every picture is drawn four times as large as its 96-dpi size (coordinates below are in those
# units) and shrunk to each size, so the larger ones are as sharp as the small one.
# The outputs are committed; run this again only to change the artwork.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
export MAGICK_TIME=0 SOURCE_DATE_EPOCH=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Side picture: a deep blue to teal gradient, with pale rings and a band of squares that read
# as pages turning.
convert -size 548x1412 gradient:'#0b2a5b'-'#1f8a8a' \
  -fill none -stroke '#ffffff30' -strokewidth 24 -draw 'circle 120,1200 440,1200' \
  -stroke '#ffffff20' -strokewidth 12 -draw 'circle 480,240 720,240' \
  -stroke none -fill '#ffffffb0' -draw 'roundrectangle 112,480 272,680 16,16' \
  -fill '#ffffff80' -draw 'roundrectangle 192,540 352,740 16,16' \
  -fill '#ffffff50' -draw 'roundrectangle 272,600 432,800 16,16' \
  -fill '#f2c14e' -draw 'polygon 120,920 428,920 272,1008' \
  "$work/side.png"
convert "$work/side.png" -resize '137x353!' -strip -type TrueColor BMP3:Image1.bmp
# The larger ones in 256 colours (dithered, uncompressed as LoadImage needs them for a DIB
# section): a third of the bytes the program carries.
for size in 206x530:-144 274x706:-192; do
  convert "$work/side.png" -resize "${size%%:*}!" -strip -colors 256 -type Palette -compress none \
    "BMP3:Image1${size#*:}.bmp"
done

flag() {  # flag NAME then ImageMagick drawing arguments on an 80 x 52 canvas
  local name=$1
  shift
  convert -size 80x52 xc:white "$@" "$work/flag-$name.png"
}
flag pl -fill '#dc143c' -draw 'rectangle 0,28 79,51'
flag en -fill '#c8102e' -draw 'rectangle 32,0 47,51' -draw 'rectangle 0,20 79,31'
flag de -fill black -draw 'rectangle 0,0 79,15' -fill '#dd0000' -draw 'rectangle 0,16 79,35' \
  -fill '#ffce00' -draw 'rectangle 0,36 79,51'
flag fr -fill '#0055a4' -draw 'rectangle 0,0 27,51' -fill '#ef4135' -draw 'rectangle 52,0 79,51'
flag it -fill '#009246' -draw 'rectangle 0,0 27,51' -fill '#ce2b37' -draw 'rectangle 52,0 79,51'
flag es -fill '#aa151b' -draw 'rectangle 0,0 79,51' -fill '#f1bf00' -draw 'rectangle 0,12 79,39'
flag ru -fill '#0039a6' -draw 'rectangle 0,16 79,35' -fill '#d52b1e' -draw 'rectangle 0,36 79,51'
flag hu -fill '#cd2a3e' -draw 'rectangle 0,0 79,15' -fill '#436f4d' -draw 'rectangle 0,36 79,51'
for size in 20x13: 30x20:-144 40x26:-192; do
  strip=()
  for name in pl en de fr it es ru hu; do
    convert "$work/flag-$name.png" -filter Box -resize "${size%%:*}!" "$work/flag-$name-${size%%:*}.png"
    strip+=("$work/flag-$name-${size%%:*}.png")
  done
  convert "${strip[@]}" +append -strip -type TrueColor "BMP3:imlFlagi${size#*:}.bmp"
done

# Icon: a CD-like disc over a box.
convert -size 1024x1024 xc:none -fill '#0b2a5b' -draw 'roundrectangle 85,384 939,939 85,85' \
  -fill '#d8dde6' -stroke '#5a6b80' -strokewidth 43 -draw 'circle 512,384 512,85' \
  -fill '#1f8a8a' -stroke none -draw 'circle 512,384 512,299' "$work/icon.png"
frames=()
for s in 16 20 24 32 40 48 64 256; do
  convert "$work/icon.png" -resize "${s}x$s" -strip -depth 8 "PNG32:$work/icon-$s.png"
  frames+=("$work/icon-$s.png")
done
convert "${frames[@]}" Instalator.ico
