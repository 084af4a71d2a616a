#!/usr/bin/env bash
# How fast the command line answers: `varnolt --list` on 100 files against `ls` on the same
# files, in one run. Prints the mean time of each and their ratio.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
exe="$root/build/varnolt"
[ -x "$exe" ] || "$root/scripts/build" >/dev/null
runs="${RUNS:-100}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
exts=(jpg png heic mp4 mov mp3 wav pdf docx md csv xlsx pptx epub srt zip tar.gz txt)
files=()
for i in $(seq 1 100); do
  f="$work/file$i.${exts[$((i % ${#exts[@]}))]}"
  : > "$f"
  files+=("$f")
done
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
mkdir -p "$HOME"

mean_ms() {  # command… → mean wall time in milliseconds over $runs runs
  local start end
  "$@" >/dev/null 2>&1  # warm the page cache
  start=$(date +%s%N)
  for _ in $(seq 1 "$runs"); do "$@" >/dev/null 2>&1; done
  end=$(date +%s%N)
  awk -v ns=$((end - start)) -v n="$runs" 'BEGIN { printf "%.3f", ns / n / 1e6 }'
}

ls_ms=$(mean_ms ls -l "${files[@]}")
list_ms=$(mean_ms "$exe" --list "${files[@]}")
echo "ls -l, 100 files:          ${ls_ms} ms"
echo "varnolt --list, 100 files: ${list_ms} ms"
echo "ratio varnolt/ls:          $(awk -v a="$list_ms" -v b="$ls_ms" 'BEGIN { printf "%.2f", a / b }')"
