#!/usr/bin/env bash
# Pictures of the program for the README: the main window idle and connected to the simulator, and
# the About window. Starts the simulator and the program on a virtual X display, connects as a
# person would (types the simulator's port into the port box, clicks Init) and writes PNGs.
# Checks the title bars as the X server has them: Qt's windowTitle() does not show what the platform
# adds to it.
# Usage: scripts/screenshots.sh [build-dir] [output-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh
build_dir=${1:-build}
out_dir=${2:-docs/screenshots}
scripts/build.sh "$build_dir"
PACKAGES_LOG="$build_dir/packages.log" scripts/packages.sh xvfb xdotool imagemagick x11-utils
mkdir -p "$out_dir"
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

start_xvfb
pids+=("$xvfb_pid")
export QT_QPA_PLATFORM=xcb

port=$work/sw30415
start_sim "$work/sim.out" "$build_dir/sim/sw30415-sim" --pace --link "$port" --log "$work/sim.log"
pids+=("$sim_pid")

"$build_dir/app/SW30415" 2>"$work/program.err" &
pids+=($!)

main=$(main_window)
sleep 0.5
import -window "$main" "$out_dir/main-idle.png"

# The port box (group at 16, 8; box at 8, 40 in it): select its text and type the simulator's port.
click_at "$main" 60 58
xdotool key --window "$main" ctrl+a
xdotool type --window "$main" --delay 5 "$port"
# New (130, 36, 73 x 26 in the group): Init.
click_at "$main" 182 57
sleep 1.2
import -window "$main" "$out_dir/main-connected.png"

# About (332, 13, 21 x 19 in the group).
click_at "$main" 358 31
about=$(window_of "About...")
expect_title "$about" "About..."
sleep 0.5
import -window "$about" "$out_dir/about.png"
ls -l "$out_dir"
