#!/usr/bin/env bash
# Times Varnolt's text recognition against the tesseract command line, with the same language,
# engine and page segmentation (eng, LSTM, automatic with orientation), on the same files in
# one run: 20 screenshots of text and a 10-page scanned PDF (tesseract reads the pages that
# pdftoppm draws at 300 dpi, as Varnolt does). Then "Remove BG" on 10 photos of 12 megapixels:
# seconds and peak memory per photo (needs the subject model: scripts/setup-subject-model).
#   bench/vision.sh     SHOTS=N, PAGES=N, PHOTOS=N for fewer files, TASKS="ocr pdf cutout"
#                       for some of the rows, VARNOLT=path for another build
# Target: text recognition at least as fast as the tesseract command line.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
varnolt=${VARNOLT:-$root/build/varnolt}
shots=${SHOTS:-20}
pages=${PAGES:-10}
photos=${PHOTOS:-10}
tasks=" ${TASKS:-ocr pdf cutout} "
[ -x "$varnolt" ] || { echo "Build Varnolt first: $varnolt is missing" >&2; exit 1; }
model="${XDG_DATA_HOME:-$HOME/.local/share}/Varnolt/models/isnet-fp32.onnx"

source "$root/bench/lib.sh"
bench_install tesseract-ocr tesseract-ocr-eng tesseract-ocr-osd poppler-utils img2pdf libvips-tools time

work=$(mktemp -d /tmp/varnolt-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
export VARNOLT_SUBJECT_MODEL=$model
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$work/shots" "$work/scan" "$work/photos" && chmod 700 "$XDG_RUNTIME_DIR"

words=(report quarterly revenue rose sharply while costs fell across every region and the team
  shipped three releases with faster startup smaller downloads fewer crashes better search
  clearer settings new languages improved printing offline maps and a redesigned editor)
paragraph() {  # paragraph SEED LINES: lines of everyday words, a different order per seed
  local seed=$1 lines=$2 line i w
  for ((line = 0; line < lines; line++)); do
    w=()
    for ((i = 0; i < 11; i++)); do w+=("${words[$(( (seed * 7 + line * 13 + i * 5) % ${#words[@]} ))]}"); done
    echo "${w[*]}"
  done
}
# page TEXT SIZE WIDTH HEIGHT OUT: black text on white at SIZE pixels.
page() {
  vips text "$work/ink.v" "$1" --font "DejaVu Sans $2" --dpi 72
  vips invert "$work/ink.v" "$work/paper.v"
  vips embed "$work/paper.v" "$5" 40 40 "$3" "$4" --extend white
}

echo "Making $shots screenshots, a $pages-page scan and $photos photos…"
for i in $(seq -w 1 "$shots"); do page "$(paragraph "$i" 30)" 16 1920 1080 "$work/shots/shot-$i.png"; done
for i in $(seq -w 1 "$pages"); do page "$(paragraph "$((i + 50))" 40)" 36 2480 3508 "$work/scan/page-$i.png"; done
img2pdf --imgsize 300dpi -o "$work/scan.pdf" "$work/scan"/page-*.png
rm -rf "$work/scan" "$work"/*.v
# A lit ball in front of a blurred, grainy backdrop: what a product or pet photo looks like.
for i in $(seq -w 1 "$photos"); do
  vips perlin "$work/back.v" 4000 3000 --cell-size $((200 + 10#$i * 20)) --seed "$i"
  vips linear "$work/back.v" "$work/backdrop.v" "60 70 40" "110 120 100"
  vips xyz "$work/xy.v" 4000 3000
  vips linear -- "$work/xy.v" "$work/centred.v" "1 1" "-2000 -1500"
  vips multiply "$work/centred.v" "$work/centred.v" "$work/sq.v"
  vips bandmean "$work/sq.v" "$work/r2.v"
  vips relational_const "$work/r2.v" "$work/inside.v" less 360000
  vips linear --uchar -- "$work/r2.v" "$work/shade.v" "-0.0002" 230
  vips bandjoin "$work/shade.v $work/shade.v $work/shade.v" "$work/ball.v"
  vips linear "$work/ball.v" "$work/red.v" "1 0.3 0.2" "0 0 0" --uchar
  vips ifthenelse "$work/inside.v" "$work/red.v" "$work/backdrop.v" "$work/photos/photo-$i.jpg[Q=92]"
done
rm -f "$work"/*.v

seconds() { awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; print s }' <<<"$1"; }
# measure NAME COMMAND…: runs it once under /usr/bin/time -v; sets secs and mem (MB).
measure() {
  local name=$1 log=$work/time.log
  shift
  if ! /usr/bin/time -v -o "$log" "$@" >"$work/out.log" 2>&1; then
    echo "$name failed:" >&2
    tail -5 "$work/out.log" >&2
    exit 1
  fi
  secs=$(seconds "$(grep 'Elapsed (wall clock)' "$log" | awk '{print $NF}')")
  mem=$(( $(grep 'Maximum resident set size' "$log" | awk '{print $NF}') / 1024 ))
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
clean() { find "$work/shots" "$work/photos" -type f -name '*(*' -delete; rm -f "$work"/scan\ *; rm -rf "$work/out"; mkdir -p "$work/out"; }

printf '\n%-12s %10s %10s %14s %24s\n' task varnolt tesseract us/tesseract "peak MB us / tesseract"
if [[ $tasks == *" ocr "* ]]; then
  clean
  measure "Varnolt text" "$varnolt" --run tools text "$work"/shots/*.png
  us=$secs usMem=$mem
  measure "tesseract" sh -c 'for f; do tesseract "$f" "$f.peer" -l eng --oem 1 --psm 1 2>/dev/null; done' sh "$work"/shots/*.png
  printf '%-12s %10s %10s %14s %24s\n' "$shots shots" "$us" "$secs" "$(ratio "$us" "$secs")" "$usMem / $mem"
fi
if [[ $tasks == *" pdf "* ]]; then
  clean
  measure "Varnolt text of the scan" "$varnolt" --run tools text "$work/scan.pdf"
  us=$secs usMem=$mem
  measure "pdftoppm + tesseract" sh -c 'pdftoppm -r 300 -gray -png "$1" "$2/p" && for f in "$2"/p*.png; do tesseract "$f" "$f" -l eng --oem 1 --psm 1 2>/dev/null; done' \
    sh "$work/scan.pdf" "$work/out"
  printf '%-12s %10s %10s %14s %24s\n' "$pages-page PDF" "$us" "$secs" "$(ratio "$us" "$secs")" "$usMem / $mem"
fi
if [[ $tasks == *" cutout "* ]]; then
  if [ ! -s "$model" ]; then
    echo "Remove BG: no subject model at $model (scripts/setup-subject-model)"
    exit 0
  fi
  clean
  printf '\n%-12s %10s %10s\n' "Remove BG" seconds "peak MB"
  total=0
  for f in "$work"/photos/*.jpg; do
    measure "Remove BG" "$varnolt" --run tools "remove bg" "$f"
    printf '%-12s %10s %10s\n' "$(basename "$f")" "$secs" "$mem"
    total=$(awk -v a="$total" -v b="$secs" 'BEGIN { print a + b }')
  done
  measure "Remove BG, all photos in one run" "$varnolt" --run tools "remove bg" "$work"/photos/*.jpg
  printf '%-12s %10s %10s\n' "one run" "$(awk -v a="$secs" -v n="$photos" 'BEGIN { printf "%.2f", a / n }')" "$mem"
  echo "(one run: seconds per photo with the model loaded once)"
fi
