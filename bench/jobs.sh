#!/usr/bin/env bash
# What it costs to run an option's work in a job process rather than in the application:
# 20 small files per option (CSV → TSV, PNG → JPG, Rotate a PNG), each run once in process and
# once as a job, in one run. Prints milliseconds per file both ways and their difference, the
# job's cost from its start to the first byte of work.
# Each job follows a pause of 2 s, as drops by a user do, so that it finds the process loaded
# ahead ready; PAUSE_MS=0 measures jobs back to back (each then waits for part of the loading).
#   bench/jobs.sh     FILES=N for another count, VARNOLT=path for another build
# Target: a job costs under 30 ms.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
varnolt=${VARNOLT:-$root/build/varnolt}
count=${FILES:-20}
[ -x "$varnolt" ] || { echo "Build Varnolt first: $varnolt is missing" >&2; exit 1; }
cmake --build "$root/build" --target job_bench >/dev/null

source "$root/bench/lib.sh"
bench_install libvips-tools

work=$(mktemp -d /tmp/varnolt-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$work/csv" "$work/png" && chmod 700 "$XDG_RUNTIME_DIR"

vips black "$work/black.v" 320 240 --bands 3
vips linear "$work/black.v" "$work/grey.v" 1 90
for i in $(seq -w 1 "$count"); do
  printf 'id,name,amount\n%s,row %s,%s.50\n2,two,3\n' "$i" "$i" "$i" >"$work/csv/data$i.csv"
  vips cast "$work/grey.v" "$work/png/photo$i.png" uchar
done

bench=$root/build/job_bench
"$bench" "$varnolt" convert TSV "$work"/csv/*.csv
"$bench" "$varnolt" convert JPG "$work"/png/*.png
"$bench" "$varnolt" tools Rotate "$work"/png/*.png
