#!/usr/bin/env bash
# A watched folder against the command line on the same photos, in one run: 200 JPEGs of
# 3000 x 2000 are dropped into a folder watched with the seeded "Web" preset at once (moved in
# together), and the time until all 200 results are in "Converted" is set against one
# "varnolt --run convert web" over the same photos, which converts them one after another.
# Prints seconds, photos per second and peak memory of each, and the ratio. The watched
# folder's memory is that of the application and its job processes together, at their
# highest sampled sum.
#   bench/watch.sh      PHOTOS=N for another count, VARNOLT=path for another build
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
varnolt=${VARNOLT:-$root/build/varnolt}
count=${PHOTOS:-200}
[ -x "$varnolt" ] || { echo "Build Varnolt first: $varnolt is missing" >&2; exit 1; }

work=$(mktemp -d /tmp/varnolt-bench.XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_STATE_HOME=$work/home/.local/state XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

echo "Making $count photos of 3000 x 2000…"
for band in 1 2 3; do
  vips perlin "$work/p$band.v" 3000 2000 --cell-size $((60 * band)) --seed "$band"
done
vips bandjoin "$work/p1.v $work/p2.v $work/p3.v" "$work/joined.v"
vips linear "$work/joined.v" "$work/lit.v" "110 90 120" "128 120 110"
vips gaussnoise "$work/grain.v" 3000 2000 --sigma 7 --mean 0
vips add "$work/lit.v" "$work/grain.v" "$work/sum.v"
vips cast "$work/sum.v" "$work/base.v" uchar
mkdir -p "$work/photos" "$work/staging" "$work/watched"
for i in $(seq -w 1 "$count"); do
  vips linear "$work/base.v" "$work/photos/photo-$i.jpg[Q=90]" 1 $((10#$i % 9)) --uchar
done
rm -f "$work"/*.v
echo "$(du -sh "$work/photos" | cut -f1) of JPEG"

# Resident megabytes of a process and everything it started.
treeMB() {
  ps -eo pid=,ppid=,rss= | awk -v root="$1" '
    { parent[$1] = $2; rss[$1] = $3 }
    END {
      for (p in rss) { q = p; while (q != "" && q != root && q != 0 && q != 1) q = parent[q]; if (q == root) sum += rss[p] }
      print int(sum / 1024)
    }'
}
seconds() { awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; print s }' <<<"$1"; }
now() { date +%s.%N; }

# The command line: one run over every photo.
"$varnolt" --list "$work/photos/photo-1.jpg" >/dev/null   # seeds the presets
cat "$work"/photos/*.jpg >/dev/null
/usr/bin/time -v -o "$work/time.log" "$varnolt" --run convert web "$work"/photos/*.jpg >"$work/run.log"
cliSecs=$(seconds "$(grep 'Elapsed (wall clock)' "$work/time.log" | awk '{print $NF}')")
cliMem=$(( $(grep 'Maximum resident set size' "$work/time.log" | awk '{print $NF}') / 1024 ))
[ "$(grep -c '(Web)' "$work/run.log")" -eq "$count" ] || { echo "varnolt --run wrote $(wc -l <"$work/run.log") outputs" >&2; exit 1; }
find "$work/photos" -name '*(Web)*' -delete

# The watched folder: the tray application on an X server of its own.
conf=$XDG_CONFIG_HOME/Varnolt/Varnolt.conf
web=$(grep -o '\\"id\\":\\"[0-9A-F-]*\\",\\"name\\":\\"Web\\"' "$conf" | grep -o '[0-9A-F]\{8\}-[0-9A-F-]*')
echo "watchFolders=\"@ByteArray([{\\\"id\\\":\\\"00000000-0000-0000-0000-000000000001\\\",\\\"path\\\":\\\"$work/watched\\\",\\\"presetID\\\":\\\"$web\\\",\\\"enabled\\\":true}])\"" >>"$conf"
echo "didShowWelcome=true" >>"$conf"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x800x24 3>"$work/display" 2>/dev/null &
pids+=($!)
while [ ! -s "$work/display" ]; do sleep 0.05; done
DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb "$varnolt" >"$work/app.log" 2>&1 &
app=$!
pids+=("$app")
sleep 3
cp "$work"/photos/*.jpg "$work/staging/"
cat "$work"/staging/*.jpg >/dev/null
start=$(now)
mv "$work"/staging/*.jpg "$work/watched/"
# Finished results are moved into Converted whole; reserved names are empty until then.
watchMem=0
until [ "$(find "$work/watched/Converted" -type f -size +0 2>/dev/null | wc -l)" -ge "$count" ]; do
  kill -0 "$app" 2>/dev/null || { echo "Varnolt quit:" >&2; tail -5 "$work/app.log" >&2; exit 1; }
  mb=$(treeMB "$app")
  [ "$mb" -gt "$watchMem" ] && watchMem=$mb
  sleep 0.2
done
watchSecs=$(awk -v a="$start" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }')
doubles=$(find "$work/watched/Converted" -name '* 2.*' | wc -l)

echo
printf '%-28s %9s %12s %9s\n' "" seconds "photos/s" "peak MB"
printf '%-28s %9.1f %12.2f %9d\n' "varnolt --run (one by one)" "$cliSecs" "$(awk -v n="$count" -v s="$cliSecs" 'BEGIN { print n / s }')" "$cliMem"
printf '%-28s %9.1f %12.2f %9d\n' "watched folder" "$watchSecs" "$(awk -v n="$count" -v s="$watchSecs" 'BEGIN { print n / s }')" "$watchMem"
echo "watched / command line: $(awk -v a="$watchSecs" -v b="$cliSecs" 'BEGIN { printf "%.2f", a / b }') of the time; converted twice: $doubles"
echo "(the watched time includes the two readings 3 s apart that prove a file complete)"
