#!/usr/bin/env bash
# The whole program on Windows, checked on this Linux machine. Installs MinGW-w64, Wine and NSIS when
# missing, takes Qt for Windows from scripts/qt-mingw.sh (built once into its cache) and
# cross-compiles the project into build-win. Then, under Wine on a virtual X display:
# - the test suite, the widget tests on the Windows platform, and the serial component's cases
#   against the simulator through a COM port;
# - one full `sw30415 update` against the Linux simulator at 115200 baud, checked in the device's
#   memory, and the same update by the Linux program; both times printed;
# - the window (scripts/windows-window.sh): its screenshots, its caption and a whole update as a
#   person does it, against the Linux window's;
# - the installer and the zip (cpack): a silent install, both programs from the installed folder,
#   a silent uninstall that leaves nothing.
# The simulator and the Linux programs come from the Linux build (built here when missing).
# Usage: scripts/windows.sh [linux-build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh
linux_build=${1:-build}
win_build=build-win

scripts/packages.sh g++-mingw-w64-x86-64-posix wine wine64 nsis xvfb xdotool x11-utils imagemagick \
  tesseract-ocr tesseract-ocr-eng
if [ ! -x "$linux_build/sim/sw30415-sim" ] || [ ! -x "$linux_build/app/SW30415" ]; then
  scripts/build.sh "$linux_build"
fi
qt=$(scripts/qt-mingw.sh | tail -n1)

# A build folder of the core alone, from before the window was built for Windows, is started afresh.
grep -qs '^QT_CHAINLOAD_TOOLCHAIN_FILE' "$win_build/CMakeCache.txt" || rm -rf "$win_build"
cmake -S . -B "$win_build" -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" -DSW_MINGW_SHARED_RUNTIME=ON >/dev/null
cmake --build "$win_build" -j"$(nproc)"

# A Wine prefix of the build's own; no .NET or browser engine is wanted, so Wine asks for neither,
# and no menu entries of the installer's are copied into this machine's desktop.
export WINEPREFIX=$PWD/$win_build/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The programs find Qt's DLLs and the MinGW run time's through the path (Wine's Z: is /).
export WINEPATH="Z:${PWD//\//\\}\\$win_build\\runtime;Z:${qt//\//\\}\\bin"
ports=$PWD/$win_build/ports
mkdir -p "$ports"
# Wine rewrites dosdevices links when it starts: a COM port is mapped in the registry instead, to
# a link that the simulator makes to its pseudo-terminal. The mapping is read when Wine starts.
for n in 5 6 7; do
  wine reg add 'HKLM\Software\Wine\Ports' /v "COM$n" /t REG_SZ /d "$ports/com$n" /f >/dev/null
done
# The windows ask for Verdana, which Windows has and Wine lacks: the prefix gives them the face
# that Linux's font configuration gives them, rather than Wine's serif default.
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Verdana /t REG_SZ /d 'DejaVu Sans' /f >/dev/null
wineserver -k || true

sims=()
pids=()
stop_sims() {
  for p in "${sims[@]}"; do kill -INT "$p" 2>/dev/null || true; done
  for p in "${sims[@]}"; do wait "$p" 2>/dev/null || true; done
  sims=()
}
trap 'stop_sims; wineserver -k 2>/dev/null || true; for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done' EXIT
start_xvfb
pids+=("$xvfb_pid")
# One server for the whole run, whose dump of its objects when it ends goes to a file. The first
# program starts Wine's own services, which live as long as the server: they are given no output
# of a test's to hold open.
wineserver -p 2>"$win_build/wineserver.log"
wine reg query 'HKLM\Software\Wine\Ports' >/dev/null 2>&1

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
start_linked_sim "$ports/com5" --log "$ports/com5.log"
SW_TEST_COM=COM5 wine "$win_build/tests/CommInt/CommInt_port_tests.exe"
stop_sims

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

. scripts/windows-window.sh
