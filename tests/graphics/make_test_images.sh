#!/bin/sh
# Makes the test images of the graphics tests with ImageMagick, in the
# folder given. The picture: 16 x 9 pixels, the left half of the top eight
# rows red, the right half blue, a grey ramp in the bottom row; an icon
# 32 x 32 (and 16 x 16) in the same halves.
set -eu
out=$1
mkdir -p "$out"
cd "$out"
convert -size 8x8 xc:'#FF0000' -size 8x8 xc:'#0000FF' +append -size 16x1 gradient:black-white -append +repage base.png
convert base.png -type truecolor BMP3:rgb24.bmp
convert base.png -colors 256 -type palette BMP3:pal8.bmp
convert -size 8x8 xc:'#FF0000' -size 8x8 xc:'#0000FF' +append -size 16x1 xc:'#808080' -append +repage -type palette BMP3:pal4.bmp
convert -size 8x8 xc:black -size 8x8 xc:white +append -size 16x1 xc:black -append +repage -monochrome BMP3:mono.bmp
convert base.png -alpha set -define bmp:format=bmp4 BMP:argb32.bmp
convert base.png GIF:pic.gif
convert base.png -quality 100 -sampling-factor 1x1 JPEG:pic.jpg
convert base.png PNG24:pic.png
convert base.png -compress none TGA:pic.tga
convert base.png PPM:pic.ppm
convert -size 16x32 xc:'#FF0000' -size 16x32 xc:'#0000FF' +append +repage icon32.png
convert icon32.png \( icon32.png -resize 16x16 \) ICO:multi.ico
convert icon32.png ICO:single.ico
# A cursor is an icon file whose type word is 2 (and whose plane and bit
# count fields hold the hot spot: here 3, 5).
cp single.ico arrow.cur
printf '\002' | dd of=arrow.cur bs=1 seek=2 conv=notrunc 2>/dev/null
printf '\003\000\005\000' | dd of=arrow.cur bs=1 seek=10 conv=notrunc 2>/dev/null
touch stamp
