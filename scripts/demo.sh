#!/usr/bin/env bash
# The main job against the simulated device: installs what is missing and builds (scripts/build.sh),
# starts sw30415-sim at 115200 baud, makes a firmware image of the project's own bytes in the build
# folder, runs `sw30415 update` with it, and checks that the device's memory now holds the image.
# Usage: scripts/demo.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh
build_dir=${1:-build}
scripts/build.sh "$build_dir"

# Beside the build's other outputs, never in a master/ folder where an installed program looks.
mkdir -p "$build_dir/demo"
demo=$(realpath "$build_dir/demo") # a port name without a leading / would be looked for under /dev
image="$demo/image.sim"
memory="$demo/device-memory.bin"
size=$firmware_area_size
rm -f "$memory" "$demo/port"
git ls-files -z | xargs -0 cat >"$image.sources"
head -c "$size" "$image.sources" >"$image"
rm -f "$image.sources"
[ "$(stat -c %s "$image")" -eq "$size" ] || { echo "demo: the sources make fewer than $size bytes" >&2; exit 1; }

start_sim "$demo/sim.out" "$build_dir/sim/sw30415-sim" --pace --memory "$memory" --link "$demo/port" --log "$demo/device.log"
sim=$sim_pid
trap 'kill -INT $sim 2>/dev/null || true' EXIT

start=$(date +%s%N)
"$build_dir/cli/sw30415" update --port "$demo/port" --image "$image"
tenths=$((($(date +%s%N) - start) / 100000000))
echo "Full update (write, read-back, compare) of $size bytes at 115200 baud: $((tenths / 10)).$((tenths % 10)) s"

# The simulator saves its memory when it stops.
kill -INT $sim
wait $sim || true
trap - EXIT
if cmp --ignore-initial=0:$((0x8000)) --bytes="$size" "$image" "$memory"; then
  echo "The device's memory holds the image from 0x8000 on."
else
  echo "demo: the device's memory does not hold the image" >&2
  exit 1
fi
