#!/bin/sh
# Makes the archives in archives/, each with the real tool that writes such files: t.* in every
# format the catalog extracts, each holding a.txt ("a") and été.txt ("summer"); and the ones the
# safety tests refuse: locked by a password, holding a device, a pipe or a set-ID program of
# another user, or cut off halfway. Tar files use 512-byte blocks to stay small.
set -e
out=$(cd "$(dirname "$0")/archives" && pwd)
work=$(mktemp -d)
cd "$work"
rm -f "$out"/*

printf a > a.txt
printf summer > été.txt
touch -d '2026-01-01 00:00:00' a.txt été.txt
tar -b 1 --owner=0 --group=0 --numeric-owner -cf "$out/t.tar" a.txt été.txt
tar --owner=0 --group=0 --numeric-owner -czf "$out/t.tgz" a.txt été.txt
tar --owner=0 --group=0 --numeric-owner -cjf "$out/t.tar.bz2" a.txt été.txt
tar --owner=0 --group=0 --numeric-owner -cJf "$out/t.txz" a.txt été.txt
zip -q -X "$out/t.zip" a.txt été.txt
7z a -bd "$out/t.7z" a.txt été.txt > /dev/null
bsdtar -b 1 --format cpio -cf "$out/t.cpio" a.txt été.txt
bsdtar --format xar -cf "$out/t.xar" a.txt été.txt

printf secret > secret.txt
touch -d '2026-01-01 00:00:00' secret.txt
zip -q -P pw "$out/locked.zip" secret.txt
7z a -bd -ppw "$out/locked.7z" secret.txt > /dev/null

printf '#mtree\ndev/null type=char mode=0666 device=native,1,3 time=1767225600.0\n' > manifest.mtree
bsdtar -b 1 -cf "$out/device.tar" @manifest.mtree
mkfifo pipe
printf '#!/bin/sh\n' > tool
chmod 06755 tool
touch -d '2026-01-01 00:00:00' pipe tool
tar -b 1 --owner=0 --group=0 --numeric-owner -cf "$out/pipe.tar" pipe
tar -b 1 --owner=12345 --group=12345 --numeric-owner -cf "$out/tool.tar" tool

# Two files of repeating bytes, packed, then each archive cut to its first half.
python3 -c "import sys; sys.stdout.buffer.write(bytes((i * 7919) % 251 for i in range(200000)))" > a.bin
cat a.bin a.bin > b.bin
cp a.bin notes.txt
touch -d '2026-01-01 00:00:00' a.bin b.bin notes.txt
tar --owner=0 --group=0 --numeric-owner -czf site.tar.gz a.bin b.bin
zip -q -X site.zip a.bin b.bin
7z a -bd site.7z a.bin b.bin > /dev/null
gzip -n notes.txt
for f in site.tar.gz site.zip site.7z notes.txt.gz; do head -c $(($(wc -c < $f) / 2)) $f > "$out/$f"; done
printf 'this is not an archive at all' > "$out/garbage.tar"
printf 'not compressed' > "$out/plain.txt.gz"

rm -rf "$work"
