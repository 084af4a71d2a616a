#!/usr/bin/env bash
# Times Varnolt's media kit against the ffmpeg and ffprobe programs on the same files, in one
# run, with the same settings, and prints times, peak memory and ratios. The clips are made
# here with ffmpeg: 60 seconds of 1080p and of 720p H.264 + AAC, a 10-minute WAV file, and 100
# short clips. The conversions of video run through the command line (its start-up counts);
# the trim, the sound conversions and the probes run the kit in process through media_bench.
#   bench/media.sh     SECONDS_OF_VIDEO=n for shorter clips, RUNS=n runs of the short cases (9),
#                      LOOP_RUNS=n runs of the 100-file cases (3),
#                      CASES="1080p 720p trim flac m4a duration frame" for some of them
# Targets: the conversions and the trim within the program's time * 1.05 + 50 ms; WAV → FLAC
# and WAV → M4A at least as fast; duration and first frame of 100 files well ahead of one
# ffprobe or ffmpeg run per file.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
varnolt=${VARNOLT:-$root/build/varnolt}
bench=$root/build/media_bench
length=${SECONDS_OF_VIDEO:-60}
runs=${RUNS:-9}
loopRuns=${LOOP_RUNS:-3}
cases=" ${CASES:-1080p 720p trim flac m4a duration frame} "
[ -x "$varnolt" ] || { echo "Build Varnolt first: $varnolt is missing" >&2; exit 1; }
cmake --build "$root/build" --target media_bench >/dev/null

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
need=()
for p in ffmpeg time; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${need[@]}" >/dev/null
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/varnolt-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_STATE_HOME=$work/home/.local/state XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$work/src" "$work/many" "$work/peer" "$work/frames"
chmod 700 "$XDG_RUNTIME_DIR"
src=$work/src

mkclip() { ffmpeg -y -hide_banner -loglevel error "$@"; }
wants() { local c; for c; do [[ $cases == *" $c "* ]] && return 0; done; return 1; }
echo "Making the clips in $work…"
# Test pictures with a little moving grain, so that the encoder has detail to spend bits on.
for size in 1920x1080 1280x720; do
  wants "${size#*x}p" || { [ "$size" = 1920x1080 ] && wants trim; } || continue
  mkclip -f lavfi -i "testsrc2=size=$size:rate=30:duration=$length,noise=alls=2:allf=t" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=$length" -ac 2 \
    -c:v libx264 -preset veryfast -crf 20 -pix_fmt yuv420p -c:a aac -b:a 192k "$src/clip${size#*x}.mov"
done
if wants flac m4a; then
  mkclip -f lavfi -i "anoisesrc=color=pink:amplitude=0.2:sample_rate=44100:duration=600" \
    -f lavfi -i "sine=frequency=330:sample_rate=44100:duration=600" -filter_complex amix=inputs=2 -ac 2 -c:a pcm_s16le "$src/song.wav"
fi
mkclip -f lavfi -i "testsrc2=size=640x360:rate=30:duration=2" -f lavfi -i "sine=duration=2" \
  -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac "$work/short.mp4"
for i in $(seq -w 1 100); do cp "$work/short.mp4" "$work/many/clip-$i.mp4"; done
many=("$work/many"/clip-*.mp4)

seconds() { awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; print s }' <<<"$1"; }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
# measure <prepare> <command>: runs the command once under /usr/bin/time after its
# preparation; prints wall seconds, peak memory in MB and CPU seconds (user + system).
measure() {
  sh -c "$1"; sync
  local log=$work/time.log
  if ! /usr/bin/time -v -o "$log" sh -c "$2" >"$work/out.log" 2>&1; then
    echo "failed: $2" >&2
    tail -5 "$work/out.log" >&2
    exit 1
  fi
  echo "$(seconds "$(grep 'Elapsed (wall clock)' "$log" | awk '{print $NF}')") $(( $(grep 'Maximum resident set size' "$log" | awk '{print $NF}') / 1024 ))" \
    "$(awk '/User time|System time/ { s += $NF } END { print s }' "$log")"
}

verdicts=()
# compare <case> <title> <runs> <rule> <varnolt command> <varnolt prepare> <peer> <peer command> <peer prepare>
# Runs alternate between Varnolt and the program, each going first in turn, so that load from
# elsewhere falls on both alike. Each side's median times and largest peak memory count; the
# CPU time is shown beside the wall time because it hardly moves with the machine's load. The
# rule, on wall time, is "overhead" (at most 5% + 50 ms more), "faster" (no slower) or "report".
compare() {
  local key=$1 title=$2 n=$3 rule=$4 ours=() peer=() i
  [[ $cases == *" $key "* ]] || return 0
  for i in $(seq 1 "$n"); do
    [ $((i % 2)) -eq 1 ] && ours+=("$(measure "$6" "$5")")
    peer+=("$(measure "$9" "$8")")
    [ $((i % 2)) -eq 0 ] && ours+=("$(measure "$6" "$5")")
  done
  local o p om pm oc pc
  o=$(printf '%s\n' "${ours[@]}" | cut -d' ' -f1 | median)
  p=$(printf '%s\n' "${peer[@]}" | cut -d' ' -f1 | median)
  om=$(printf '%s\n' "${ours[@]}" | cut -d' ' -f2 | sort -n | tail -1)
  pm=$(printf '%s\n' "${peer[@]}" | cut -d' ' -f2 | sort -n | tail -1)
  oc=$(printf '%s\n' "${ours[@]}" | cut -d' ' -f3 | median)
  pc=$(printf '%s\n' "${peer[@]}" | cut -d' ' -f3 | median)
  verdicts+=("$(awk -v t="$title" -v o="$o" -v p="$p" -v om="$om" -v pm="$pm" -v oc="$oc" -v pc="$pc" -v name="$7" -v rule="$rule" 'BEGIN {
    verdict = rule == "overhead" ? (o <= p * 1.05 + 0.05 ? "ok" : "OVER 5% + 50 ms") : rule == "faster" ? (o <= p ? "ok" : "SLOWER") : ""
    printf "%-30s varnolt %8.2f s (cpu %7.2f) %5d MB   %-7s %8.2f s (cpu %7.2f) %5d MB   ratio %5.2f (cpu %5.2f)  %+7.0f ms  %s",
      t, o, oc, om, name, p, pc, pm, o / p, oc / pc, (o - p) * 1000, verdict }')")
  echo "${verdicts[-1]}"
}

v="$varnolt --run convert"
x264="-c:v libx264 -crf 18 -preset medium -pix_fmt yuv420p -c:a aac -b:a 192k -movflags +faststart"
ff="ffmpeg -y -hide_banner -loglevel error"
compare 1080p "1080p → mp4 HighestQuality" 1 overhead "$v mp4 $src/clip1080.mov" "rm -f $src/clip1080.mp4" \
  ffmpeg "$ff -i $src/clip1080.mov $x264 $work/peer/clip1080.mp4" "rm -f $work/peer/clip1080.mp4"
compare 720p "720p → mp4 HighestQuality" 1 overhead "$v mp4 $src/clip720.mov" "rm -f $src/clip720.mp4" \
  ffmpeg "$ff -i $src/clip720.mov $x264 $work/peer/clip720.mp4" "rm -f $work/peer/clip720.mp4"
trimStart=$(( length / 6 )) trimEnd=$(( length * 5 / 6 ))
compare trim "1080p Passthrough trim" "$runs" overhead "$bench trim $src/clip1080.mov $work/trim.mov $trimStart $trimEnd" "rm -f $work/trim.mov" \
  ffmpeg "$ff -ss $trimStart -to $trimEnd -i $src/clip1080.mov -c copy -movflags +faststart $work/peer/trim.mov" "rm -f $work/peer/trim.mov"
compare flac "WAV 10 min → FLAC" "$runs" faster "$bench convert $src/song.wav flac" "rm -f $src/song.flac" \
  ffmpeg "$ff -i $src/song.wav -vn -c:a flac $work/peer/song.flac" "rm -f $work/peer/song.flac"
compare m4a "WAV 10 min → M4A (AAC 256k)" "$runs" faster "$bench convert $src/song.wav m4a" "rm -f $src/song.m4a" \
  ffmpeg "$ff -i $src/song.wav -vn -c:a aac -b:a 256k $work/peer/song.m4a" "rm -f $work/peer/song.m4a"
compare duration "duration of 100 files" "$loopRuns" report "$bench duration ${many[*]}" ":" \
  ffprobe "for f in ${many[*]}; do ffprobe -v error -show_entries format=duration -of csv=p=0 \$f; done" ":"
compare frame "first frame of 100 files (PNG)" "$loopRuns" report "$bench frame $work/frames ${many[*]}" "rm -f $work/frames/*" \
  ffmpeg "for f in ${many[*]}; do $ff -ss 0.5 -i \$f -frames:v 1 $work/peer/\$(basename \$f .mp4).png; done" "rm -f $work/peer/*.png"

echo
echo "Summary (overhead limit: the program's time * 1.05 + 50 ms)"
printf '%s\n' "${verdicts[@]}"
