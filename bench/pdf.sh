#!/usr/bin/env bash
# Times Varnolt's PDF tools against their usual command-line peers on the same files, in one run:
#   render    a 50-page book to PNG at 300 dpi          vs  pdftoppm -r 300 -png
#   merge     20 PDFs of 25 pages into one              vs  qpdf --empty --pages … --
#   split     a 500-page book into one file per page    vs  qpdf --split-pages
#   compress  30 pages of 12-megapixel photos           vs  Ghostscript -dPDFSETTINGS=/ebook
#   start     rotating a one-page PDF                   vs  qpdf --rotate=+90
# The last row shows what starting the program costs, which the short rows include.
# The books (text, vector drawings and shadings) are made here with Ghostscript, the photo PDF
# with libvips and img2pdf. Each command runs RUNS times (default 3) and the fastest wall time
# counts, which keeps other work on a shared machine out of the figures. For compress it also
# prints the output sizes and the PSNR of page 1 against the original, both drawn at 100 dpi.
#   bench/pdf.sh     TASKS="render merge split compress start" for some of the rows, RUNS=N,
#                    VARNOLT=path for another build
# Targets: render, merge and split within 1.1x of the peer; compress smaller than Ghostscript.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
varnolt=${VARNOLT:-$root/build/varnolt}
runs=${RUNS:-3}
tasks=" ${TASKS:-render merge split compress start} "
[ -x "$varnolt" ] || { echo "Build Varnolt first: $varnolt is missing" >&2; exit 1; }

source "$root/bench/lib.sh"
bench_install ghostscript poppler-utils qpdf img2pdf libvips-tools time

work=$(mktemp -d /tmp/varnolt-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME/Varnolt" && chmod 700 "$XDG_RUNTIME_DIR"
# Varnolt's outputs go to the Downloads folder, which each run empties.
printf '[General]\noutputLocation=downloads\n' >"$XDG_CONFIG_HOME/Varnolt/Varnolt.conf"
downloads=$HOME/Downloads
in=$work/in
mkdir -p "$in"

# book PAGES FILE: pages of justified-looking text, a heading, stroked circles and a shading.
book() {
  cat >"$work/book.ps" <<EOF
%!PS
/line (Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor incididunt ut labore et dolore.) def
1 1 $1 {
  /n exch def
  /Helvetica-Bold findfont 18 scalefont setfont 72 740 moveto (Chapter ) show n 10 string cvs show
  /Times-Roman findfont 10 scalefont setfont
  0 1 50 { /l exch def 72 710 l 11 mul sub moveto line show } for
  gsave 400 80 150 90 rectclip
    << /ShadingType 2 /ColorSpace /DeviceRGB /Coords [400 80 550 170]
       /Function << /FunctionType 2 /Domain [0 1] /C0 [1 0.6 0] /C1 [0 0.3 0.8] /N 1 >> >> shfill
  grestore
  0.4 setlinewidth
  0 1 24 { /k exch def k 0.04 mul 0.3 0.7 setrgbcolor newpath 180 125 k 3 mul add 40 0 360 arc stroke } for
  showpage
} for
EOF
  gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -sOutputFile="$2" "$work/book.ps"
}

echo "Making the inputs…"
book 50 "$in/render.pdf"
book 500 "$in/split.pdf"
mkdir -p "$in/parts"
qpdf --split-pages=25 "$in/split.pdf" "$in/parts/part-%d.pdf"
qpdf --empty --pages "$in/render.pdf" 1 -- "$in/one.pdf"
parts=("$in"/parts/part-*.pdf)
mkdir -p "$work/photos"
# Smooth colour at three scales plus grain, as in the image benchmark, 4000 x 3000 at quality 92.
for band in 1 2 3; do vips perlin "$work/p$band.v" 4000 3000 --cell-size $((60 * band)) --seed "$band"; done
vips bandjoin "$work/p1.v $work/p2.v $work/p3.v" "$work/joined.v"
vips linear "$work/joined.v" "$work/lit.v" "110 90 120" "128 120 110"
vips gaussnoise "$work/grain.v" 4000 3000 --sigma 7 --mean 0
vips add "$work/lit.v" "$work/grain.v" "$work/sum.v"
vips cast "$work/sum.v" "$work/base.v" uchar
for i in $(seq -w 1 30); do vips linear "$work/base.v" "$work/photos/photo-$i.jpg[Q=92]" 1 $((10#$i * 3)) --uchar; done
rm -f "$work"/*.v
# A landscape A4 page per photo: about 340 dpi.
img2pdf --pagesize 'A4^T' --fit into -o "$in/photos.pdf" "$work"/photos/photo-*.jpg
echo "render.pdf $(du -h "$in/render.pdf" | cut -f1), split.pdf $(du -h "$in/split.pdf" | cut -f1)," \
  "${#parts[@]} parts, photos.pdf $(du -h "$in/photos.pdf" | cut -f1)"

seconds() { awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; print s }' <<<"$1"; }
# measure COMMAND…: the fastest of $runs runs into a fresh $work/out; sets secs and mem (MB).
measure() {
  local log=$work/time.log best=
  for _ in $(seq "$runs"); do
    rm -rf "$work/out" "$downloads" && mkdir -p "$work/out" "$downloads"
    if ! /usr/bin/time -v -o "$log" "$@" >"$work/run.log" 2>&1; then
      echo "failed: $*" >&2
      tail -5 "$work/run.log" >&2
      exit 1
    fi
    local s
    s=$(seconds "$(grep 'Elapsed (wall clock)' "$log" | awk '{print $NF}')")
    if [ -z "$best" ] || awk -v a="$s" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$s; fi
    mem=$(( $(grep 'Maximum resident set size' "$log" | awk '{print $NF}') / 1024 ))
  done
  secs=$best
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

printf '\n%-9s %9s %9s %9s %14s\n' task varnolt peer us/peer "peak MB us/peer"
row() {
  local task=$1 peer=$2
  shift 2
  local split
  for ((split = 1; split <= $#; split++)); do [ "${!split}" = "--" ] && break; done
  local ours=("${@:1:split-1}") theirs=("${@:split+1}")
  [[ $tasks == *" $task "* ]] || return 1
  measure "${ours[@]}"
  local us=$secs usMem=$mem
  measure "${theirs[@]}"
  printf '%-9s %8.2fs %8.2fs %8sx %9d / %d   (%s)\n' "$task" "$us" "$secs" "$(ratio "$us" "$secs")" "$usMem" "$mem" "$peer"
}

row render pdftoppm "$varnolt" --run convert png "$in/render.pdf" -- pdftoppm -r 300 -png "$in/render.pdf" "$work/out/page" || true
row merge qpdf "$varnolt" --run tools merge "${parts[@]}" -- qpdf --empty --pages "${parts[@]}" -- "$work/out/merged.pdf" || true
row split qpdf "$varnolt" --run tools split "$in/split.pdf" -- qpdf --split-pages "$in/split.pdf" "$work/out/page.pdf" || true
row start qpdf "$varnolt" --run tools rotate "$in/one.pdf" -- qpdf --rotate=+90 "$in/one.pdf" "$work/out/one.pdf" || true

if row compress "gs /ebook" sh -c '"$1" --run tools compress "$2" && mv "$3/photos (compressed).pdf" "$4/varnolt.pdf"' sh \
  "$varnolt" "$in/photos.pdf" "$downloads" "$work" -- \
  gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -dPDFSETTINGS=/ebook -sOutputFile="$work/gs.pdf" "$in/photos.pdf"; then
  # PSNR of page 1 against the original, everything drawn at 100 dpi.
  psnr() {
    pdftoppm -r 100 -f 1 -l 1 -png "$1" "$work/a" && pdftoppm -r 100 -f 1 -l 1 -png "$in/photos.pdf" "$work/b"
    vips subtract "$work"/a-*.png "$work"/b-*.png "$work/d.v" && vips multiply "$work/d.v" "$work/d.v" "$work/sq.v"
    awk -v mse="$(vips avg "$work/sq.v")" 'BEGIN { printf "%.1f dB", 10 * log(255 * 255 / mse) / log(10) }'
    rm -f "$work"/a-*.png "$work"/b-*.png "$work"/*.v
  }
  size() { du -k "$1" | cut -f1; }
  echo
  printf 'photos.pdf %d KB; Varnolt %d KB (PSNR %s), gs /ebook %d KB (PSNR %s); size us/gs %sx\n' "$(size "$in/photos.pdf")" \
    "$(size "$work/varnolt.pdf")" "$(psnr "$work/varnolt.pdf")" "$(size "$work/gs.pdf")" "$(psnr "$work/gs.pdf")" \
    "$(ratio "$(size "$work/varnolt.pdf")" "$(size "$work/gs.pdf")")"
  echo "image resolution (pdfimages x-ppi of page 1): Varnolt $(pdfimages -f 1 -l 1 -list "$work/varnolt.pdf" | awk 'NR == 3 { print $13 }')," \
    "gs $(pdfimages -f 1 -l 1 -list "$work/gs.pdf" | awk 'NR == 3 { print $13 }')"
fi
