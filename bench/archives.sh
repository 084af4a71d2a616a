#!/usr/bin/env bash
# Packs and extracts a folder of 2,000 small files and a 200 MB file through Varnolt and
# through zip, unzip and tar run directly, on the same files in one run, and prints how much
# longer Varnolt takes. The goal: Varnolt's time stays under the program's time * 1.05 + 50 ms.
#   bench/archives.sh     (RUNS=n: runs of the 2,000-file cases, 9; BIG_RUNS=n: of the 200 MB ones, 5)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
varnolt=${VARNOLT:-$root/build/varnolt}
runs=${RUNS:-9}
big_runs=${BIG_RUNS:-5}
[ -x "$varnolt" ] || { echo "build Varnolt first: $varnolt" >&2; exit 1; }

need=()
for p in zip unzip tar gzip; do command -v "$p" >/dev/null || need+=("$p"); done
if [ ${#need[@]} -gt 0 ]; then
  sudo=(); [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get install -y -q "${need[@]}"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/varnolt-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
# Varnolt keeps its settings in a home of its own here, with results next to the sources.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" XDG_STATE_HOME="$work/home/.local/state"
export XDG_RUNTIME_DIR="$work/home/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$work/src/many" "$work/arch" "$work/peer"
chmod 700 "$XDG_RUNTIME_DIR"

echo "Making 2,000 small files and one 200 MB file in $work ..."
paragraph=$(printf 'line %d of a small text file\n' $(seq 1 60))
for i in $(seq 1 2000); do
  printf 'note %d\n%s\n' "$i" "${paragraph:0:$((i % 1500 + 200))}" > "$work/src/many/note-$i.txt"
done
(seq 1 40000000 || true) | head -c 200M > "$work/src/big.bin"
(cd "$work/src" && zip -q -r -y "$work/arch/many.zip" many && zip -q "$work/arch/big.zip" big.bin \
  && tar -czf "$work/arch/many.tar.gz" many && tar -czf "$work/arch/big.tar.gz" big.bin)

now() { date +%s%N; }

# Median of the numbers on standard input.
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

# timed <prepare> <command>: nanoseconds the command takes after its preparation.
timed() {
  sh -c "$1"; sync
  local start; start=$(now)
  sh -c "$2" >/dev/null || { echo "failed: $2" >&2; return 1; }
  echo $(( $(now) - start ))
}

verdicts=()
# compare <title> <runs> <varnolt command> <varnolt prepare> <peer name> <peer command> <peer prepare>
# Runs alternate between Varnolt and the program, each going first in turn, so that load from
# elsewhere on the machine falls on both alike; written data is synced before every timed
# run. Each side's median counts.
compare() {
  local title=$1 n=$2 ours=() peer=() i
  for i in $(seq 1 "$n"); do
    [ $((i % 2)) -eq 1 ] && ours+=("$(timed "$4" "$3")")
    peer+=("$(timed "$7" "$6")")
    [ $((i % 2)) -eq 0 ] && ours+=("$(timed "$4" "$3")")
  done
  local o p
  o=$(printf '%s\n' "${ours[@]}" | median)
  p=$(printf '%s\n' "${peer[@]}" | median)
  verdicts+=("$(awk -v t="$title" -v o="$o" -v p="$p" -v name="$5" 'BEGIN {
    o /= 1e9; p /= 1e9; limit = p * 1.05 + 0.05
    printf "%-28s varnolt %7.3f s  %-6s %7.3f s  ratio %.3f  overhead %+6.0f ms  %s",
      t, o, name, p, o / p, (o - p) * 1000, (o <= limit ? "ok" : "OVER 5% + 50 ms") }')")
  echo "${verdicts[-1]}"
}

v="$varnolt --run convert"
compare "pack zip, 2,000 files" "$runs" "$v zip $work/src/many" "rm -f $work/src/many.zip" \
  zip "cd $work/src && zip -q -r -y $work/peer/many.zip many -x .DS_Store '*/.DS_Store'" "rm -f $work/peer/many.zip"
compare "pack tar.gz, 2,000 files" "$runs" "$v tar.gz $work/src/many" "rm -f $work/src/many.tar.gz" \
  tar "tar --exclude .DS_Store -czf $work/peer/many.tar.gz -C $work/src many" "rm -f $work/peer/many.tar.gz"
compare "extract zip, 2,000 files" "$runs" "$v extract $work/arch/many.zip" "rm -rf $work/arch/many" \
  unzip "unzip -q $work/arch/many.zip -d $work/peer/x" "rm -rf $work/peer/x && mkdir $work/peer/x"
compare "extract tar.gz, 2,000 files" "$runs" "$v extract $work/arch/many.tar.gz" "rm -rf $work/arch/many" \
  tar "tar -xf $work/arch/many.tar.gz -C $work/peer/x" "rm -rf $work/peer/x && mkdir $work/peer/x"
compare "pack zip, 200 MB" "$big_runs" "$v zip $work/src/big.bin" "rm -f $work/src/big.zip" \
  zip "cd $work/src && zip -q -r -y $work/peer/big.zip big.bin -x .DS_Store '*/.DS_Store'" "rm -f $work/peer/big.zip"
compare "pack tar.gz, 200 MB" "$big_runs" "$v tar.gz $work/src/big.bin" "rm -f $work/src/big.tar.gz" \
  tar "tar --exclude .DS_Store -czf $work/peer/big.tar.gz -C $work/src big.bin" "rm -f $work/peer/big.tar.gz"
compare "extract zip, 200 MB" "$big_runs" "$v extract $work/arch/big.zip" "rm -rf $work/arch/big" \
  unzip "unzip -q $work/arch/big.zip -d $work/peer/x" "rm -rf $work/peer/x && mkdir $work/peer/x"
compare "extract tar.gz, 200 MB" "$big_runs" "$v extract $work/arch/big.tar.gz" "rm -rf $work/arch/big" \
  tar "tar -xf $work/arch/big.tar.gz -C $work/peer/x" "rm -rf $work/peer/x && mkdir $work/peer/x"

echo
echo "Summary (limit: the program's time * 1.05 + 50 ms)"
printf '%s\n' "${verdicts[@]}"
