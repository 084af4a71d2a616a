#!/usr/bin/env bash
# Times two of Varnolt's media tools against the programs that do the same work, in one run:
#   fit   "Fit 25 MB" and "Fit 10 MB" of a 1080p clip (60 s) through the command line, against
#         the same two ffmpeg passes run directly; the output must really be under the limit.
#   bleep "Bleep" of a 60-s spoken recording (espeak-ng): seconds per minute of audio and peak
#         memory.
#   bench/media-tools.sh    SECONDS_OF_VIDEO=n for a shorter clip, CASES="fit bleep" for some
# Targets: fit within the program's time * 1.05 + 50 ms; Bleep under 0.5 × real time.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
varnolt=${VARNOLT:-$root/build/varnolt}
length=${SECONDS_OF_VIDEO:-60}
cases=" ${CASES:-fit bleep} "
[ -x "$varnolt" ] || { echo "Build Varnolt first: $varnolt is missing" >&2; exit 1; }
. "$root/bench/lib.sh"
bench_install ffmpeg time espeak-ng pocketsphinx-en-us

work=$(mktemp -d "${TMPDIR:-/tmp}/varnolt-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_STATE_HOME=$work/home/.local/state XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$work/src" "$work/peer"
chmod 700 "$XDG_RUNTIME_DIR"
src=$work/src
ff="ffmpeg -y -hide_banner -loglevel error"
wants() { [[ $cases == *" $1 "* ]]; }

seconds() { awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; print s }' <<<"$1"; }
# measure <command>: wall seconds and peak memory in MB of one run.
measure() {
  local log=$work/time.log
  if ! /usr/bin/time -v -o "$log" sh -c "$1" >"$work/out.log" 2>&1; then
    echo "failed: $1" >&2; tail -5 "$work/out.log" >&2; exit 1
  fi
  echo "$(seconds "$(grep 'Elapsed (wall clock)' "$log" | awk '{print $NF}')") $(( $(grep 'Maximum resident set size' "$log" | awk '{print $NF}') / 1024 ))"
}

verdicts=()
if wants fit; then
  echo "Making a ${length}-s 1080p clip…"
  # Rich enough in detail to stay well over 25 MB.
  $ff -f lavfi -i "testsrc2=size=1920x1080:rate=30:duration=$length,noise=alls=8:allf=t" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=$length" -ac 2 \
    -c:v libx264 -preset ultrafast -b:v 40M -pix_fmt yuv420p -c:a aac -b:a 192k "$src/clip.mov"
  duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$src/clip.mov")
  for mb in 25 10; do
    bytes=$((mb * 1000000))
    # The first attempt's rates, as Varnolt works them out.
    read -r video audio cap < <(awk -v b="$bytes" -v d="$duration" 'BEGIN {
      t = b * 8 / 1000 / d * 0.96; a = 96; v = t - 96; if (v < 150) { a = 48; v = t - 48 }
      printf "%d %d %d\n", v, a, v < 500 ? 480 : v < 1500 ? 720 : 1080 }')
    # ffmpeg itself must see the quotes that keep the comma inside the scale expression.
    codec="-vf \"scale=-2:'min($cap,ih)'\" -c:v libx264 -preset medium -b:v ${video}k"
    peer="$ff -i $src/clip.mov $codec -pass 1 -passlogfile $work/peer/pass -an -f null /dev/null && \
          $ff -i $src/clip.mov $codec -pass 2 -passlogfile $work/peer/pass -pix_fmt yuv420p -c:a aac -b:a ${audio}k -movflags +faststart $work/peer/out.mp4"
    ours=$(measure "'$varnolt' --run tools 'fit $mb mb' '$src/clip.mov'")
    theirs=$(measure "$peer")
    out="$src/clip ($mb MB).mp4"
    size=$(stat -c %s "$out")
    verdicts+=("$(awk -v t="Fit $mb MB (${length} s 1080p)" -v o="${ours% *}" -v p="${theirs% *}" -v om="${ours#* }" -v pm="${theirs#* }" \
      -v size="$size" -v limit="$bytes" 'BEGIN {
      verdict = (o <= p * 1.05 + 0.05 ? "ok" : "OVER 5% + 50 ms") (size <= limit ? "" : ", OUTPUT OVER THE LIMIT")
      printf "%-24s varnolt %7.2f s %5d MB   ffmpeg %7.2f s %5d MB   ratio %5.2f  %+6.0f ms  output %d bytes  %s",
        t, o, om, p, pm, o / p, (o - p) * 1000, size, verdict }')")
    echo "${verdicts[-1]}"
    rm -f "$out" "$work/peer/out.mp4"
  done
fi

if wants bleep; then
  echo "Making a 60-s spoken recording…"
  phrase="Good morning everyone. That is bullshit. See you tomorrow at the station."
  text=""
  for _ in $(seq 1 14); do text="$text $phrase"; done
  espeak-ng -w "$work/speech.wav" "$text"
  $ff -i "$work/speech.wav" -t 60 -c:a pcm_s16le "$src/talk.wav"
  audio=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$src/talk.wav")
  ours=$(measure "'$varnolt' --run tools bleep '$src/talk.wav'")
  verdicts+=("$(awk -v a="$audio" -v o="${ours% *}" -v om="${ours#* }" -v said="$(tail -1 "$work/out.log")" 'BEGIN {
    r = o / a
    printf "%-24s %6.2f s for %5.1f s of audio: %5.2f s per minute (%.2f × real time), peak %d MB  (%s)  %s",
      "Bleep", o, a, r * 60, r, om, said, r < 0.5 ? "ok" : "SLOWER THAN 0.5 × REAL TIME" }')")
  echo "${verdicts[-1]}"
fi

echo
echo "Summary (fit: the program's time * 1.05 + 50 ms; Bleep: under 0.5 × real time)"
printf '%s\n' "${verdicts[@]}"
