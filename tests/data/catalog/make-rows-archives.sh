#!/bin/sh
# Makes the archives in rows/: one folder "photos" holding 1.jpg (the byte "1"), packed by
# tar with gzip, by 7z and by bsdtar as cpio.
set -e
rows=$(cd "$(dirname "$0")/rows" && pwd)
work=$(mktemp -d)
mkdir "$work/photos"
printf 1 > "$work/photos/1.jpg"
touch -d '2026-01-01 00:00:00' "$work/photos" "$work/photos/1.jpg"
cd "$work"
rm -f "$rows/photos.tar.gz" "$rows/x.7z" "$rows/x.cpio"
tar --owner=0 --group=0 --numeric-owner -czf "$rows/photos.tar.gz" photos
7z a -bd "$rows/x.7z" photos > /dev/null
bsdtar --format cpio -cf "$rows/x.cpio" photos
rm -rf "$work"
