#!/bin/sh
# The kinds of BMP ImageMagick writes, made in folder $1: each NAME.bmp beside NAME.rgb, the raw pixels of its
# picture, top row first. Pure colours, in rows that differ, for the kinds of fewer than 8 bits a channel,
# which hold them exactly; a ramp for the others. And $2, the end-to-end test's quadrants, in the default kind.
set -e
mkdir -p "$1" && cd "$1"
convert xc:black xc:red xc:lime xc:blue xc:yellow xc:cyan xc:magenta xc:white xc:black +append \
  \( +clone -flop \) -append -scale 300% pure.png
convert -size 27x6 gradient:'#f08010-#1060e0' -depth 8 ramp.png
kind() {
  name=$1 picture=$2 format=$3 && shift 3
  convert "$picture.png" "$@" "$format:$name.bmp" && convert "$picture.png" -depth 8 "RGB:$name.rgb"
}
kind v5 ramp BMP -type truecolor
kind bmp3 ramp BMP3 -type truecolor
kind os2 ramp BMP2 -type truecolor
kind argb8888 ramp BMP -alpha set -define bmp:subtype=ARGB8888
kind rgb565 pure BMP -type truecolor -define bmp:subtype=RGB565
kind rgb555 pure BMP -type truecolor -define bmp:subtype=RGB555
kind argb4444 pure BMP -alpha set -define bmp:subtype=ARGB4444
kind argb1555 pure BMP -alpha set -define bmp:subtype=ARGB1555
convert "$2" BMP:quadrants.bmp
touch made
