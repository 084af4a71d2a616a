#!/usr/bin/env bash
# Office formats, in one run on the same files: ten Word files → PDF through one Varnolt
# option against ten separate soffice runs; ten presentations → PDF, where Varnolt itself
# hands the batch to LibreOffice in one start; and a 30-page PDF → PPTX against LibreOffice's
# PDF import. Prints mean times, the ratios to Varnolt and the decks' sizes.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
exe="$root/build/varnolt"
[ -x "$exe" ] || "$root/scripts/build" >/dev/null
runs="${RUNS:-3}"
source "$root/bench/lib.sh"
bench_install hyperfine libreoffice-writer-nogui libreoffice-impress-nogui python3-docx poppler-utils

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$work/docx" "$work/slides" "$work/deck"
profile="file://$work/profile"
soffice() { command soffice -env:UserInstallation="$profile" --headless "$@" >/dev/null 2>&1; }

# Ten Word files of about five pages each, and ten small presentations made from them.
/usr/bin/python3 - "$work/docx" <<'PY'
import sys, docx
words = "the quick brown fox jumps over a lazy dog while seven bold wizards quietly judge many boxing matches".split()
for n in range(1, 11):
    d = docx.Document()
    for section in range(1, 6):
        d.add_heading(f"Report {n}, section {section}", level=1)
        for p in range(5):
            d.add_paragraph(" ".join(words[(p + i) % len(words)] for i in range(80)))
    d.save(f"{sys.argv[1]}/report{n:02}.docx")
PY
docs=("$work"/docx/*.docx)
# Impress opens no Word file: the presentations come from the files' PDFs.
soffice --convert-to pdf --outdir "$work/slides" "${docs[@]}"
soffice --infilter=impress_pdf_import --convert-to odp --outdir "$work/slides" "$work"/slides/*.pdf
rm -f "$work"/slides/*.pdf
# 30 pages of text as PDF.
/usr/bin/python3 - "$work/deck/long.docx" <<'PY'
import sys, docx
d = docx.Document()
for page in range(1, 31):
    d.add_heading(f"Page {page}", level=1)
    d.add_paragraph(("Lorem ipsum dolor sit amet, consectetur adipiscing elit. " * 30))
    if page < 30: d.add_page_break()
d.save(sys.argv[1])
PY
soffice --convert-to pdf --outdir "$work/deck" "$work/deck/long.docx"
rm "$work/deck/long.docx"
echo "PDF: $(pdfinfo "$work/deck/long.pdf" | awk '/^Pages:/ { print $2 }') pages, $(du -h "$work/deck/long.pdf" | cut -f1); $(ls "$work"/slides/*.odp | wc -l) presentations"

decks=("$work"/slides/*.odp)
each_soffice() {  # filter, outdir, files…: one soffice run per file
  local filter="$1" out="$2" f commands=""; shift 2
  for f in "$@"; do commands+="soffice -env:UserInstallation=$profile --headless --convert-to $filter --outdir $out $f; "; done
  printf '%s' "$commands"
}
hyperfine --style basic --warmup 1 --runs "$runs" --export-csv "$work/docx.csv" \
  --prepare "rm -f $work/docx/*.pdf" \
  -n varnolt "$exe --run convert pdf ${docs[*]}" \
  -n "soffice ×10" "$(each_soffice pdf "$work/docx" "${docs[@]}")"
hyperfine --style basic --warmup 1 --runs "$runs" --export-csv "$work/slides.csv" \
  --prepare "rm -f $work/slides/*.pdf" \
  -n varnolt "$exe --run convert pdf ${decks[*]}" \
  -n "soffice ×10" "$(each_soffice pdf "$work/slides" "${decks[@]}")"
hyperfine --style basic --warmup 1 --runs "$runs" --export-csv "$work/pptx.csv" \
  --prepare "rm -f $work/deck/*.pptx" \
  -n varnolt "$exe --run convert pptx $work/deck/long.pdf" \
  -n soffice "soffice -env:UserInstallation=$profile --headless --infilter=impress_pdf_import --convert-to pptx --outdir $work/deck $work/deck/long.pdf"

echo
bench_ratios "$work/docx.csv" "10 DOCX → PDF"
bench_ratios "$work/slides.csv" "10 ODP → PDF"
bench_ratios "$work/pptx.csv" "30-page PDF → PPTX"
rm -f "$work"/deck/*.pptx
"$exe" --run convert pptx "$work/deck/long.pdf" >/dev/null
ours="$(du -k "$work/deck/long.pptx" | cut -f1)"
mv "$work/deck/long.pptx" "$work/deck/ours.pptx"
soffice --infilter=impress_pdf_import --convert-to pptx --outdir "$work/deck" "$work/deck/long.pdf"
echo "Deck size: varnolt ${ours} KB, soffice $(du -k "$work/deck/long.pptx" | cut -f1) KB"
