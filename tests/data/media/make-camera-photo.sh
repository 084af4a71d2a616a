#!/bin/sh
# Makes camera-photo.jpg: a flat blue 300 × 200 JPEG that says "turn 90° clockwise" in EXIF and
# XMP, with a camera's make and model, a GPS position and an IPTC keyword, as phones write them.
set -e
media=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
vips black "$work/base.v" 300 200 --bands 3
vips linear "$work/base.v" "$media/camera-photo.jpg" "1 1 1" "90 140 200" --uchar
exiftool -q -overwrite_original -Orientation#=6 -XMP-tiff:Orientation#=6 -Make=Canon "-Model=EOS R5" -GPSLatitude=48.85 -GPSLatitudeRef=N \
    -GPSLongitude=2.35 -GPSLongitudeRef=E -IPTC:Keywords=holiday "$media/camera-photo.jpg"
rm -rf "$work"
