#!/usr/bin/env bash
# Toasts and the idle tray application, on an X server of the benchmark's own (Xvfb):
#  1. toast latency: Runner::perform to the card's first frame on the X server (toast_bench),
#     against one 60 Hz frame;
#  2. idle cost: wake-ups per second and CPU time of a running Varnolt over 30 s, from /proc,
#     next to the tray it sits in (trayer) as a peer that also waits for X events.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
ninja -C "$root/build" varnolt toast_bench >/dev/null || ninja -C "$root/build" varnolt toast_bench
work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x800x24 3>"$work/display" 2>/dev/null &
pids+=($!)
while [ ! -s "$work/display" ]; do sleep 0.05; done
export DISPLAY=":$(cat "$work/display")"
export HOME="$work" XDG_CONFIG_HOME="$work/.config" XDG_DATA_HOME="$work/.local/share" XDG_RUNTIME_DIR="$work/run"
mkdir -m 700 "$work/run"
export QT_QPA_PLATFORM=xcb

echo "Toast latency (Runner::perform to the first frame on the X server), 40 runs:"
"$root/build/toast_bench"

trayer --edge top --align right --widthtype request --height 28 >/dev/null 2>&1 &
trayer=$!
pids+=("$trayer")
sleep 1
"$root/build/varnolt" >/dev/null 2>&1 &
varnolt=$!
pids+=("$varnolt")
# Past start-up: a timer Qt starts while starting fires once, 30 s later.
sleep 40

switches() {  # context switches of every thread of a process: each is a wake-up
  cat /proc/"$1"/task/*/status | awk '/ctxt_switches/ { n += $2 } END { print n }'
}
ticks() {  # user + system CPU time in clock ticks
  awk '{ print $14 + $15 }' /proc/"$1"/stat
}
seconds=30
declare -A s0 t0
for name in varnolt trayer; do s0[$name]=$(switches "${!name}"); t0[$name]=$(ticks "${!name}"); done
sleep "$seconds"
hz=$(getconf CLK_TCK)
echo
echo "Idle over ${seconds} s (Varnolt running in the tray, no toasts):"
for name in varnolt trayer; do
  s1=$(switches "${!name}"); t1=$(ticks "${!name}")
  awk -v n="$name" -v s="$((s1 - s0[$name]))" -v t="$((t1 - t0[$name]))" -v d="$seconds" -v hz="$hz" \
    'BEGIN { printf "%-8s %6.2f wake-ups/s  %6.3f %% CPU\n", n, s / d, 100 * t / hz / d }'
done
