#!/usr/bin/env bash
# Spreadsheet conversion speed: Varnolt against LibreOffice headless, openpyxl (write-only and
# read-only modes) and xlsx2csv on one generated CSV of 200,000 rows x 10 columns (numbers and
# text), in one run. Each task runs RUNS times (default 3); the best wall time is printed with
# the processor time (user + system, child processes included) and the peak memory (maximum
# resident set, as /usr/bin/time -v reports it) of that run, then the ratios peer / Varnolt of
# wall and processor time. On a busy machine the processor times compare more fairly: a
# program with many threads gets a larger share of the processors than one with a single thread.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
exe="$root/build/varnolt"
[ -x "$exe" ] || "$root/scripts/build" >/dev/null
runs="${RUNS:-3}"
rows="${ROWS:-200000}"

# The peers, installed here and not by scripts/setup: Varnolt itself needs none of them.
peers=(python3-openpyxl xlsx2csv libreoffice-calc time)
missing=()
for p in "${peers[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
fi
python=/usr/bin/python3  # Debian's, which has openpyxl

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
mkdir -p "$HOME" "$work/in" "$work/out"
profile="file://$work/lo-profile"

"$python" - "$work/in/data.csv" "$rows" <<'PY'
import csv, random, sys
random.seed(7)
words = ["alpha", "beta", "gamma", "delta", "epsilon", "zeta", "eta", "theta", "iota", "kappa"]
with open(sys.argv[1], "w", newline="") as f:
    w = csv.writer(f, lineterminator="\n")
    w.writerow([f"col{i}" for i in range(10)])
    for r in range(int(sys.argv[2])):
        w.writerow([r, f"item {r}", random.choice(words), round(random.uniform(0, 1e4), 2), random.randint(-500, 500),
                    f"{random.choice(words)}, {random.choice(words)}", random.random() < 0.1 and "" or "x" * random.randint(1, 12),
                    random.randint(0, 10**9), f"note \"{r % 97}\"", round(random.gauss(0, 100), 4)])
PY

cat > "$work/openpyxl_write.py" <<'PY'
import csv, sys
from openpyxl import Workbook
wb = Workbook(write_only=True)
ws = wb.create_sheet()
with open(sys.argv[1], newline="") as f:
    for row in csv.reader(f):
        ws.append(row)
wb.save(sys.argv[2])
PY
cat > "$work/openpyxl_read.py" <<'PY'
import csv, sys
from openpyxl import load_workbook
wb = load_workbook(sys.argv[1], read_only=True)
with open(sys.argv[2], "w", newline="") as f:
    w = csv.writer(f, lineterminator="\n")
    for row in wb.worksheets[0].iter_rows(values_only=True):
        w.writerow(["" if v is None else v for v in row])
PY

# LibreOffice's first start builds its profile; do that outside the timings.
printf 'a\n' > "$work/warm.csv"
soffice -env:UserInstallation="$profile" --headless --convert-to xlsx --outdir "$work/warm" "$work/warm.csv" >/dev/null 2>&1

declare -A seconds cpu
# measure KEY command… : best wall time over $runs runs, with that run's processor time and
# peak memory.
measure() {
  local key="$1" best="" bestCpu="" bestMem="" s u k kb
  shift
  for _ in $(seq 1 "$runs"); do
    rm -rf "$work/out" && mkdir -p "$work/out"
    /usr/bin/time -f "%e %U %S %M" -o "$work/time.txt" "$@" >/dev/null 2>&1
    read -r s u k kb < "$work/time.txt"
    if [ -z "$best" ] || awk -v a="$s" -v b="$best" 'BEGIN { exit !(a < b) }'; then
      best="$s"; bestCpu=$(awk -v u="$u" -v k="$k" 'BEGIN { print u + k }'); bestMem="$kb"
    fi
  done
  seconds[$key]="$best"
  cpu[$key]="$bestCpu"
  printf '%-32s %7.2f s wall %7.2f s cpu %6d MB\n' "$key" "$best" "$bestCpu" "$((bestMem / 1024))"
}

# Inputs for the readers, written once: LibreOffice's own workbook and spreadsheet.
soffice -env:UserInstallation="$profile" --headless --convert-to xlsx --outdir "$work/in" "$work/in/data.csv" >/dev/null 2>&1
soffice -env:UserInstallation="$profile" --headless --convert-to ods --outdir "$work/in" "$work/in/data.csv" >/dev/null 2>&1

vconvert() {  # source target: Varnolt writes beside a copy of the source inside out/
  cp "$1" "$work/out/"
  "$exe" --run convert "$2" "$work/out/$(basename "$1")"
}
export -f vconvert
export exe work

echo "$rows rows x 10 columns, best of $runs, on $(nproc) cores"
measure "CSV->XLSX varnolt" bash -c 'vconvert "$0/in/data.csv" xlsx' "$work"
measure "CSV->XLSX openpyxl write-only" "$python" "$work/openpyxl_write.py" "$work/in/data.csv" "$work/out/data.xlsx"
measure "CSV->XLSX libreoffice" soffice -env:UserInstallation="$profile" --headless --convert-to xlsx --outdir "$work/out" "$work/in/data.csv"
measure "XLSX->CSV varnolt" bash -c 'vconvert "$0/in/data.xlsx" csv' "$work"
measure "XLSX->CSV xlsx2csv" xlsx2csv "$work/in/data.xlsx" "$work/out/data.csv"
measure "XLSX->CSV openpyxl read-only" "$python" "$work/openpyxl_read.py" "$work/in/data.xlsx" "$work/out/data.csv"
measure "XLSX->CSV libreoffice" soffice -env:UserInstallation="$profile" --headless --convert-to csv --outdir "$work/out" "$work/in/data.xlsx"
measure "CSV->ODS varnolt" bash -c 'vconvert "$0/in/data.csv" ods' "$work"
measure "CSV->ODS libreoffice" soffice -env:UserInstallation="$profile" --headless --convert-to ods --outdir "$work/out" "$work/in/data.csv"
measure "ODS->CSV varnolt" bash -c 'vconvert "$0/in/data.ods" csv' "$work"
measure "ODS->CSV libreoffice" soffice -env:UserInstallation="$profile" --headless --convert-to csv --outdir "$work/out" "$work/in/data.ods"

ratio() {  # label peer varnolt [target]
  awk -v pw="${seconds[$2]}" -v vw="${seconds[$3]}" -v pc="${cpu[$2]}" -v vc="${cpu[$3]}" -v label="$1" -v target="${4:-}" 'BEGIN {
    w = pw / vw; c = pc / vc
    verdict = target == "" ? "" : sprintf("  target %sx: %s", target, (w >= target ? "met" : "missed") " on wall, " (c >= target ? "met" : "missed") " on cpu")
    printf "%-42s %6.1fx wall %6.1fx cpu%s\n", label, w, c, verdict
  }'
}
echo
ratio "XLSX write: openpyxl write-only / varnolt" "CSV->XLSX openpyxl write-only" "CSV->XLSX varnolt" 5
ratio "XLSX write: libreoffice / varnolt" "CSV->XLSX libreoffice" "CSV->XLSX varnolt" 10
ratio "XLSX read: xlsx2csv / varnolt" "XLSX->CSV xlsx2csv" "XLSX->CSV varnolt" 8
ratio "XLSX read: openpyxl read-only / varnolt" "XLSX->CSV openpyxl read-only" "XLSX->CSV varnolt"
ratio "XLSX read: libreoffice / varnolt" "XLSX->CSV libreoffice" "XLSX->CSV varnolt" 10
ratio "ODS write: libreoffice / varnolt" "CSV->ODS libreoffice" "CSV->ODS varnolt"
ratio "ODS read: libreoffice / varnolt" "ODS->CSV libreoffice" "ODS->CSV varnolt"
