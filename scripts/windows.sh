#!/usr/bin/env bash
# The core on Windows, checked on this Linux machine: installs MinGW-w64 and Wine when missing,
# cross-compiles the core and its tests (-DSW_WITH_QT=OFF) into build-win and runs the tests under
# Wine, the serial component's against the simulator through a COM port. Then one full
# `sw30415 update` under Wine against the Linux simulator at 115200 baud, checked in the device's
# memory, and the same update by the Linux program; prints both times.
# The simulator and the Linux program come from the Linux build (built here when missing).
# Usage: scripts/windows.sh [linux-build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh
linux_build=${1:-build}
win_build=build-win

scripts/packages.sh g++-mingw-w64-x86-64-posix wine wine64
if [ ! -x "$linux_build/sim/sw30415-sim" ] || [ ! -x "$linux_build/cli/sw30415" ]; then
  scripts/build.sh "$linux_build"
fi

cmake -S . -B "$win_build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DSW_WITH_QT=OFF
cmake --build "$win_build" -j"$(nproc)"

# A Wine prefix of the build's own; no .NET or browser engine is wanted, so Wine asks for neither.
export WINEPREFIX=$PWD/$win_build/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
ports=$PWD/$win_build/ports
mkdir -p "$ports"
# Wine rewrites dosdevices links when it starts: a COM port is mapped in the registry instead, to
# a link that the simulator makes to its pseudo-terminal. The mapping is read when Wine starts.
wine reg add 'HKLM\Software\Wine\Ports' /v COM5 /t REG_SZ /d "$ports/com5" /f >/dev/null
wine reg add 'HKLM\Software\Wine\Ports' /v COM6 /t REG_SZ /d "$ports/com6" /f >/dev/null
wineserver -k || true
# One server for the whole run, whose dump of its objects when it ends goes to a file. The first
# program starts Wine's own services, which live as long as the server: they are given no output
# of a test's to hold open.
wineserver -p 2>"$win_build/wineserver.log"
wine reg query 'HKLM\Software\Wine\Ports' >/dev/null 2>&1

sims=()
stop_sims() {
  for p in "${sims[@]}"; do kill -INT "$p" 2>/dev/null || true; done
  for p in "${sims[@]}"; do wait "$p" 2>/dev/null || true; done
  sims=()
}
trap 'stop_sims; wineserver -k 2>/dev/null || true' EXIT
# Starts the simulator on a link; the rest are its options. Waits for its first line.
start_linked_sim() {
  local link=$1
  shift
  rm -f "$link"
  start_sim "$link.out" "$linux_build/sim/sw30415-sim" --link "$link" "$@"
  sims+=("$sim_pid")
}
# Runs an update (the command after the output file) and passes when it ends in "Update Done"; its
# progress lines stay in the file, its status lines are shown.
run_update() {
  local out=$1
  shift
  if ! "$@" >"$out" 2>&1 || ! tr -d '\r' <"$out" | grep -qx 'Update Done'; then
    tail -n 20 "$out" >&2
    echo "windows: the update did not end in \"Update Done\" (see $out)" >&2
    exit 1
  fi
  tr -d '\r' <"$out" | grep -v '%' || true
}
now_ms() { echo $(($(date +%s%N) / 1000000)); }
seconds() { printf '%d.%d' $(($1 / 1000)) $(($1 % 1000 / 100)); }

ctest --test-dir "$win_build" -j2 --output-on-failure
# The serial component's cases that need the simulator behind a COM port skip themselves in the
# run above; they run here, one at a time, on a port of their own.
port_tests=$win_build/tests/CommInt/CommInt_port_tests.exe
if [ -f "$port_tests" ]; then
  start_linked_sim "$ports/com5" --log "$ports/com5.log"
  SW_TEST_COM=COM5 wine "$port_tests"
  stop_sims
else
  echo "windows: $port_tests not built; the serial component's COM port cases did not run"
fi

# The end-to-end update: the whole firmware area at 115200 baud, as the demo runs it.
size=$firmware_area_size
image=$ports/image.sim
memory=$ports/device-memory.bin
head -c "$size" /dev/urandom >"$image"
rm -f "$memory"
win_image=$(winepath -w "$image")
start_linked_sim "$ports/com6" --pace --memory "$memory" --log "$ports/com6.log"
start=$(now_ms)
run_update "$ports/wine-update.out" wine "$win_build/cli/sw30415.exe" update --port COM6 --image "$win_image"
wine_ms=$(($(now_ms) - start))
stop_sims # saves the device's memory
cmp --ignore-initial=0:$((0x8000)) --bytes="$size" "$image" "$memory"

start_linked_sim "$ports/com6" --pace --log "$ports/com6.log"
start=$(now_ms)
run_update "$ports/linux-update.out" "$linux_build/cli/sw30415" update --port "$ports/com6" --image "$image"
linux_ms=$(($(now_ms) - start))
stop_sims

echo "Full update (write, read-back, compare) of $size bytes at 115200 baud:" \
  "$(seconds $wine_ms) s built with MinGW under Wine, $(seconds $linux_ms) s built for Linux"
