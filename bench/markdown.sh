#!/usr/bin/env bash
# Markdown → HTML on a 5 MB file against pandoc and cmark, and SRT → VTT on a 100,000-cue file
# against ffmpeg, in one run. Prints each command's mean time and the ratios to Varnolt.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
exe="$root/build/varnolt"
[ -x "$exe" ] || "$root/scripts/build" >/dev/null
runs="${RUNS:-10}"

need=()
for p in pandoc cmark ffmpeg hyperfine; do command -v "$p" >/dev/null || need+=("$p"); done
if [ ${#need[@]} -gt 0 ]; then
  sudo=(); [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${need[@]}" >/dev/null
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$work/md" "$work/srt"

# A Markdown file of about 5 MB using every block and inline rule.
awk 'BEGIN {
  for (i = 1; size < 5 * 1024 * 1024; i++) {
    s = "## Section " i "\n\n"
    s = s "Some *emphasis*, **strong** and __strong__ text with `code` and a [link](https://example.org/" i ").\n"
    s = s "A second line of the same paragraph, with _underscores_, ~~strike~~ and ![an image](img" i ".png).\n\n"
    s = s "- first item with **bold**\n- second item\n1. numbered\n2) numbered again\n\n"
    s = s "> a quote with *stars* and 2 < 3 & 4 > 1\n\n```\ncode line " i " <tag> & more\n    indented\n```\n\n---\n\n"
    printf "%s", s; size += length(s)
  }
}' > "$work/md/notes.md"

# An SRT file of 100,000 cues.
awk 'function t(ms) { return sprintf("%02d:%02d:%02d,%03d", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000) }
BEGIN { for (i = 1; i <= 100000; i++) printf "%d\n%s --> %s\nLine %d of the film\n<i>second line</i>\n\n", i, t(i * 2000), t(i * 2000 + 1500), i }' > "$work/srt/movie.srt"

echo "Markdown: $(du -h "$work/md/notes.md" | cut -f1), SRT: $(grep -c -- '-->' "$work/srt/movie.srt") cues, on $(nproc) cores"

hyperfine --style basic --warmup 1 --runs "$runs" --export-csv "$work/md.csv" \
  --prepare "rm -f $work/md/*.html" \
  -n varnolt "$exe --run convert html $work/md/notes.md" \
  -n cmark "cmark --to html $work/md/notes.md > $work/md/cmark.html"
# pandoc needs well over a minute for this file: one run says enough.
hyperfine --style basic --runs "${PANDOC_RUNS:-1}" --export-csv "$work/pandoc.csv" \
  -n pandoc "pandoc -s --metadata title=notes -f markdown -t html -o $work/md/pandoc.html $work/md/notes.md"
tail -n +2 "$work/pandoc.csv" >> "$work/md.csv"

hyperfine --style basic --warmup 1 --runs "$runs" --export-csv "$work/srt.csv" \
  --prepare "rm -f $work/srt/*.vtt" \
  -n varnolt "$exe --run convert vtt $work/srt/movie.srt" \
  -n ffmpeg "ffmpeg -nostdin -loglevel error -y -i $work/srt/movie.srt $work/srt/ffmpeg.vtt"

ratios() {  # hyperfine CSV → "peer/varnolt" ratios of the mean times
  awk -F, -v label="$2" 'NR > 1 { mean[$1] = $2 } END {
    for (name in mean) if (name != "varnolt") printf "%s: %s/varnolt = %.2f (varnolt %.3f s, %s %.3f s)\n", label, name, mean[name] / mean["varnolt"], mean["varnolt"], name, mean[name]
  }' "$1"
}
echo
ratios "$work/md.csv" "Markdown → HTML, 5 MB"
ratios "$work/srt.csv" "SRT → VTT, 100,000 cues"
