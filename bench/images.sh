#!/usr/bin/env bash
# Times Varnolt's image engine against ImageMagick's convert and the vips command line on the
# same photos, in one run: 30 JPEGs of 12 megapixels with EXIF, made here, converted to PNG,
# WebP and HEIC, through "Compress" and through "Resize". Prints seconds, peak memory, ratios, and
# whether Varnolt's batch (several photos at once) wrote the same bytes as one photo at a time.
#   bench/images.sh     IMAGES=N for fewer photos, TASKS="png webp heic compress resize" for
#                       some of the rows, VARNOLT=path for another build
# Targets: at least 3x faster than ImageMagick, within 1.25x of vips, under a third of
# ImageMagick's peak memory; for six photos to WebP on 2 cores, 3x ImageMagick, 1.5x faster than
# vips and at most 1.2x its peak memory (IMAGES=6 TASKS=webp).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
varnolt=${VARNOLT:-$root/build/varnolt}
count=${IMAGES:-30}
tasks=" ${TASKS:-png webp heic compress resize} "
[ -x "$varnolt" ] || { echo "Build Varnolt first: $varnolt is missing" >&2; exit 1; }

source "$root/bench/lib.sh"
bench_install imagemagick libvips-tools libimage-exiftool-perl time

work=$(mktemp -d /tmp/varnolt-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
photos=$work/photos
mkdir -p "$photos"

echo "Making $count photos of 4000 x 3000 with EXIF…"
# Smooth structure at three scales plus sensor-like grain, so encoders see photo-like content.
for seed in 1 2 3; do
  for band in 1 2 3; do
    vips perlin "$work/p$band.v" 4000 3000 --cell-size $((40 * band * band + 20 * seed)) --seed $((seed * 10 + band))
  done
  vips bandjoin "$work/p1.v $work/p2.v $work/p3.v" "$work/joined.v"
  vips linear "$work/joined.v" "$work/lit.v" "110 90 120" "128 120 110"
  vips gaussnoise "$work/grain.v" 4000 3000 --sigma 7 --mean 0 --seed "$seed"
  vips add "$work/lit.v" "$work/grain.v" "$work/sum.v"
  vips cast "$work/sum.v" "$work/base$seed.v" uchar
done
for i in $(seq -w 1 "$count"); do
  base=$work/base$(( (10#$i - 1) % 3 + 1 )).v
  vips linear "$base" "$photos/photo-$i.jpg[Q=92]" 1 $(( 10#$i % 7 )) --uchar
done
rm -f "$work"/*.v
exiftool -q -overwrite_original -Make=Canon -Model="EOS R6" -DateTimeOriginal="2026:06:01 12:00:00" \
  -ExposureTime=1/250 -FNumber=5.6 -ISO=200 -GPSLatitude=48.8566 -GPSLatitudeRef=N \
  -GPSLongitude=2.3522 -GPSLongitudeRef=E "$photos"/*.jpg
files=("$photos"/photo-*.jpg)
echo "$(du -sh "$photos" | cut -f1) of JPEG"

seconds() { awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; print s }' <<<"$1"; }
# measure NAME COMMAND…: runs it once under /usr/bin/time -v; sets secs and mem (MB).
measure() {
  local name=$1 log=$work/time.log
  shift
  cat "${files[@]}" >/dev/null
  if ! /usr/bin/time -v -o "$log" "$@" >"$work/out.log" 2>&1; then
    echo "$name failed:" >&2
    tail -5 "$work/out.log" >&2
    exit 1
  fi
  secs=$(seconds "$(grep 'Elapsed (wall clock)' "$log" | awk '{print $NF}')")
  mem=$(( $(grep 'Maximum resident set size' "$log" | awk '{print $NF}') / 1024 ))
}
clean() { find "$photos" -type f ! -name 'photo-*.jpg' -delete; rm -rf "$work/out"; mkdir -p "$work/out"; }
# A peer runs once per photo, as its command line is made to be used; the template sees the
# photo as $f, its name without .jpg as $base and the output folder as $out.
loop='out=$1 template=$2; shift 2; for f; do base=$(basename "$f" .jpg); eval "$template"; done'
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

printf '\n%-10s %9s %9s %9s %10s %10s %28s %9s %9s\n' task varnolt vips magick magick/us us/vips "peak MB us / vips / magick" us/magick "1-by-1"
row() {
  local task=$1 wheel=$2 option=$3 vipsTemplate=$4 magickTemplate=$5
  [[ $tasks == *" ${task,,} "* ]] || return 0
  clean
  measure "Varnolt $task" "$varnolt" --run "$wheel" "$option" "${files[@]}"
  local us=$secs usMem=$mem same=yes made
  # The batch runs several photos at once; it must write what one photo at a time writes.
  rm -rf "$work/batch" && mkdir -p "$work/batch"
  find "$photos" -type f ! -name 'photo-*.jpg' -exec mv -t "$work/batch" {} +
  for f in "${files[@]}"; do "$varnolt" --run "$wheel" "$option" "$f" >/dev/null 2>&1; done
  for made in "$work/batch"/*; do cmp -s "$made" "$photos/$(basename "$made")" || same=no; done
  clean
  measure "vips $task" sh -c "$loop" sh "$work/out" "$vipsTemplate" "${files[@]}"
  local vipsSecs=$secs vipsMem=$mem
  clean
  measure "ImageMagick $task" sh -c "$loop" sh "$work/out" "$magickTemplate" "${files[@]}"
  local magickSecs=$secs magickMem=$mem
  clean
  printf '%-10s %8.1fs %8.1fs %8.1fs %9sx %9sx %12d / %5d / %5d %9s %9s\n' "$task" "$us" "$vipsSecs" "$magickSecs" \
    "$(ratio "$magickSecs" "$us")" "$(ratio "$us" "$vipsSecs")" "$usMem" "$vipsMem" "$magickMem" "$(ratio "$usMem" "$magickMem")" "$same"
}

# Matching settings: quality 90 for conversions (Varnolt's 0.9), 60 for "Compress" (0.6; the
# photos are under 4096 pixels, so it re-encodes at their size), zlib level 6 with adaptive
# filtering for PNG, Lanczos for the 50% "Resize" (libvips' default kernel, ImageMagick's for
# shrinking), chroma at half resolution for HEIC. Everyone keeps the metadata.
row PNG convert png 'vips copy "$f" "$out/$base.png"' '/usr/bin/convert "$f" -quality 65 "$out/$base.png"'
row WebP convert webp 'vips copy "$f" "$out/$base.webp[Q=90]"' '/usr/bin/convert "$f" -quality 90 "$out/$base.webp"'
row HEIC convert heic 'vips copy "$f" "$out/$base.heic[Q=90,subsample-mode=on]"' '/usr/bin/convert "$f" -quality 90 "$out/$base.heic"'
row Compress tools compress 'vips copy "$f" "$out/$base.jpg[Q=60]"' '/usr/bin/convert "$f" -quality 60 "$out/$base.jpg"'
row Resize tools resize 'vips resize "$f" "$out/$base.jpg[Q=90]" 0.5' '/usr/bin/convert "$f" -filter Lanczos -resize 50% -quality 90 "$out/$base.jpg"'
