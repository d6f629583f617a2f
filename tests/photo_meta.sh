#!/bin/sh
# Small photos tagged by exiftool, made in folder $1: NAME.jpg, NAME.tif and NAME.png for each set of tags, each
# set hiding none of what its test expects behind a source read first; photos with none; and a TIFF whose tags
# lie after 270 KB of pixels.
set -e
mkdir -p "$1" && cd "$1"
for f in jpg tif png; do convert -size 16x8 gradient:red-blue "none.$f"; done
tag() {
  name=$1 && shift
  for f in jpg tif png; do cp "none.$f" "$name.$f" && exiftool -q -q -overwrite_original "$@" "$name.$f"; done
}
tag full -DateTimeOriginal='2021:03:04 05:06:07' -EXIF:CreateDate='2020:01:01 00:00:00' \
  -XMP-exif:DateTimeOriginal='2019-02-03T04:05:06' -XMP-dc:Title='Straße · 東京' -XMP-dc:Description='a &lt; b & "c"' \
  -IPTC:ObjectName=iptc -IPTC:Caption-Abstract=caption -ImageDescription=description -XPTitle=xp -XPComment=comment \
  -GPSLatitude=33.8568 -GPSLatitudeRef=S -GPSLongitude=151.2153 -GPSLongitudeRef=W
# exiftool writes IPTC text as Latin-1.
tag digitized -EXIF:CreateDate='2019:12:31 23:59:59' -XMP-exif:DateTimeOriginal='2018-01-01T00:00:00' \
  -IPTC:ObjectName='Straße' -IPTC:Caption-Abstract='Ünïcode' -ImageDescription=description -XPTitle=xp
tag xmpdates -XMP-exif:DateTimeOriginal='2018-07-08T09:10:11-05:00' -XMP-xmp:CreateDate='2017-01-01' \
  -ImageDescription='  spaced  ' -XPTitle='東京 タワー' -XPComment=comment
tag xmpcreate -XMP-xmp:CreateDate='2017-05-06' -XPComment='Ωmega' -GPSLatitude=10.5 -GPSLatitudeRef=N \
  -GPSLongitude=20.25 -GPSLongitudeRef=E
convert full.jpg -resize '300x300!' -compress none far.tif
touch made
