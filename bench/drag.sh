#!/usr/bin/env bash
# The zero-click path under a private Xvfb: time from a trigger key's press to the wheel's
# first painted frame during a real drag (target: under 20 ms, within one 120 Hz frame of the
# next poll), and wake-ups per second while the drag monitor waits between drags (target 0).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
ninja -C "$root/build" drag_bench drag_source >/dev/null
work="$(mktemp -d)"
exec 3>"$work/display"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x800x24 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$work/display")" QT_QPA_PLATFORM=xcb
export HOME="$work" XDG_CONFIG_HOME="$work/.config" XDG_STATE_HOME="$work/.local/state" XDG_CACHE_HOME="$work/.cache"
vips black "$work/photo.png" 64 48
"$root/build/drag_bench" "$root/build/drag_source" "$work/photo.png" "${RUNS:-20}" "${IDLE_SECONDS:-60}"
