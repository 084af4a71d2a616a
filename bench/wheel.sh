#!/usr/bin/env bash
# How fast the wheel draws: frames per second of the full wheel at a device pixel ratio of 2
# (steady, a moving highlight, a page turn, the opening fade), each against the 120 frames a
# second that its animation timer asks for.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
ninja -C "$root/build" wheel_bench >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
HOME="$work" XDG_CONFIG_HOME="$work/.config" "$root/build/wheel_bench"
