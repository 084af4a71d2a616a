#!/usr/bin/env bash
# Documents, in one run on the same files: a 200-page Word file → PDF against LibreOffice,
# Word → Markdown and Markdown → Word against pandoc, and the word count of 50 MB of text
# against wc -w. Prints mean times, the ratios to Varnolt and each command's peak memory.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
exe="$root/build/varnolt"
[ -x "$exe" ] || "$root/scripts/build" >/dev/null
runs="${RUNS:-3}"
source "$root/bench/lib.sh"
bench_install pandoc hyperfine libreoffice-writer-nogui python3-docx time

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$work/pdf" "$work/md" "$work/docx" "$work/words"

# About 200 pages: headings, paragraphs with bold and italic runs, lists and a table now and then.
/usr/bin/python3 - "$work/big.docx" <<'PY'
import sys, docx
d = docx.Document()
words = "the quick brown fox jumps over a lazy dog while seven bold wizards quietly judge many boxing matches".split()
for section in range(1, 301):
    d.add_heading(f"Section {section}", level=1 if section % 10 == 1 else 2)
    for n in range(6):
        p = d.add_paragraph(" ".join(words[(n + i) % len(words)] for i in range(60)) + " ")
        p.add_run("bold words").bold = True
        p.add_run(" and ")
        p.add_run("italic words").italic = True
        p.add_run(".")
    for item in range(3):
        d.add_paragraph(f"point {item} of section {section}", style="List Bullet")
    if section % 10 == 0:
        t = d.add_table(rows=5, cols=3)
        for r in range(5):
            for c in range(3):
                t.cell(r, c).text = f"cell {r}.{c}"
d.save(sys.argv[1])
PY
cp "$work/big.docx" "$work/pdf/big.docx"
cp "$work/big.docx" "$work/md/big.docx"
"$exe" --run convert md "$work/big.docx" >/dev/null
mv "$work/big.md" "$work/docx/big.md"
# 50 MB of text.
/usr/bin/python3 -c "
import sys
line = 'Lorem ipsum dolor sit amet, consectetur adipiscing elit; sed do eiusmod tempor 1234 incididunt.\n'
sys.stdout.write(line * (50 * 1024 * 1024 // len(line)))" > "$work/words/big.txt"

pages="$(pdfinfo "$("$exe" --run convert pdf "$work/big.docx")" | awk '/^Pages:/ { print $2 }')"
echo "Word file: $(du -h "$work/big.docx" | cut -f1), $pages pages as PDF; text: $(du -h "$work/words/big.txt" | cut -f1)"
profile="file://$work/profile"

hyperfine --style basic --warmup 1 --runs "$runs" --export-csv "$work/pdf.csv" \
  --prepare "rm -f $work/pdf/*.pdf" \
  -n varnolt "$exe --run convert pdf $work/pdf/big.docx" \
  -n soffice "soffice -env:UserInstallation=$profile --headless --convert-to pdf --outdir $work/pdf $work/pdf/big.docx"
hyperfine --style basic --warmup 1 --runs "$runs" --export-csv "$work/tomd.csv" \
  --prepare "rm -f $work/md/*.md" \
  -n varnolt "$exe --run convert md $work/md/big.docx" \
  -n pandoc "pandoc -f docx -t gfm -o $work/md/pandoc.md $work/md/big.docx"
hyperfine --style basic --warmup 1 --runs "$runs" --export-csv "$work/todocx.csv" \
  --prepare "rm -f $work/docx/*.docx" \
  -n varnolt "$exe --run convert docx $work/docx/big.md" \
  -n pandoc "pandoc -f gfm -t docx -o $work/docx/pandoc.docx $work/docx/big.md"
hyperfine --style basic --warmup 1 --runs "$runs" --export-csv "$work/words.csv" \
  -n varnolt "$exe --run tools words $work/words/big.txt" \
  -n "wc -w" "wc -w $work/words/big.txt"

ratios() {  # hyperfine CSV → "peer/varnolt" ratios of the mean times
  awk -F, -v label="$2" 'NR > 1 { mean[$1] = $2 } END {
    for (name in mean) if (name != "varnolt") printf "%s: %s/varnolt = %.2f (varnolt %.3f s, %s %.3f s)\n", label, name, mean[name] / mean["varnolt"], mean["varnolt"], name, mean[name]
  }' "$1"
}
peak() {  # label, command…: the command's peak resident memory
  local label="$1"; shift
  rm -f "$work"/pdf/*.pdf "$work"/md/*.md "$work"/docx/*.docx
  /usr/bin/time -f "%M" -o "$work/rss" "$@" >/dev/null 2>&1
  printf "  %-22s %6d MB\n" "$label" $(( $(cat "$work/rss") / 1024 ))
}
echo
ratios "$work/pdf.csv" "DOCX → PDF, $pages pages"
ratios "$work/tomd.csv" "DOCX → Markdown"
ratios "$work/todocx.csv" "Markdown → DOCX"
ratios "$work/words.csv" "Word count, 50 MB"
echo "Peak memory:"
peak "varnolt docx→pdf" "$exe" --run convert pdf "$work/pdf/big.docx"
peak "soffice docx→pdf" soffice -env:UserInstallation="$profile" --headless --convert-to pdf --outdir "$work/pdf" "$work/pdf/big.docx"
peak "varnolt docx→md" "$exe" --run convert md "$work/md/big.docx"
peak "pandoc docx→md" pandoc -f docx -t gfm -o "$work/md/pandoc.md" "$work/md/big.docx"
peak "varnolt md→docx" "$exe" --run convert docx "$work/docx/big.md"
peak "pandoc md→docx" pandoc -f gfm -t docx -o "$work/docx/pandoc.docx" "$work/docx/big.md"
peak "varnolt words" "$exe" --run tools words "$work/words/big.txt"
peak "wc -w" wc -w "$work/words/big.txt"
