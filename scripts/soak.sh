#!/usr/bin/env bash
# N consecutive full updates (default 50) against the simulator, unpaced: through one connected
# worker (tools/soak), as N runs of sw30415 against one sw30415-sim, or both. Prints the open
# descriptors, threads and resident memory across the updates, which should stay steady.
# Usage: scripts/soak.sh [N] [build-dir] [both|worker|program]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh
count=${1:-50}
build=${2:-build}
mode=${3:-both}
case $mode in both | worker | program) ;; *) echo "unknown mode $mode" >&2; exit 2 ;; esac
targets=(sw30415 sw30415-sim)
[ "$mode" = program ] || targets+=(soak-worker)
cmake --build "$build" -j2 --target "${targets[@]}" >/dev/null

work=$(mktemp -d)
sims=()
trap 'kill "${sims[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
head -c "$firmware_area_size" /dev/urandom >"$work/image.sim"
# Starts a simulator of its own and sets sim (its process) and port.
start_device() {
  start_sim "$work/sim.out" "$build/sim/sw30415-sim" --log /dev/null
  sim=$sim_pid port=$sim_port
  sims+=("$sim")
}

if [ "$mode" != program ]; then
  echo "== $count updates through one connected worker (load $(cut -d' ' -f1-3 /proc/loadavg))"
  start_device
  "$build/tools/soak/soak-worker" "$port" "$count" | sed -n '1p;2p;$p'
fi
[ "$mode" != worker ] || exit 0

echo "== $count runs of sw30415 against one sw30415-sim (load $(cut -d' ' -f1-3 /proc/loadavg))"
start_device
figures() { # descriptors, threads and resident memory of process $1
  printf 'descriptors %s  threads %s  resident %s kB' "$(ls "/proc/$1/fd" | wc -l)" \
    "$(ls "/proc/$1/task" | wc -l)" "$(awk '/^VmRSS:/ {print $2}' "/proc/$1/status")"
}
echo "simulator before: $(figures "$sim")"
failed=0
declare -A seen # the values each figure took at the runs' peaks, for the ranges
for i in $(seq "$count"); do
  "$build/cli/sw30415" update --port "$port" --image "$work/image.sim" >"$work/run.out" 2>&1 &
  run=$!
  peak=0 fds=0 threads=0
  while kill -0 "$run" 2>/dev/null; do
    rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$run/status" 2>/dev/null || echo 0)
    ((${rss:-0} > peak)) && peak=$rss && fds=$(ls "/proc/$run/fd" 2>/dev/null | wc -l) &&
      threads=$(ls "/proc/$run/task" 2>/dev/null | wc -l)
    sleep 0.5
  done
  rc=0
  wait "$run" || rc=$?
  ((rc == 0)) || { failed=$((failed + 1)); tail -n2 "$work/run.out"; }
  echo "run $i: exit $rc; sw30415 at its peak: descriptors $fds  threads $threads  resident $peak kB"
  seen[fds]+=" $fds" seen[threads]+=" $threads" seen[resident]+=" $peak"
done
range() { tr ' ' '\n' <<<"${seen[$1]}" | sed '/^$/d' | sort -n | sed -n '1p;$p' | paste -sd- -; }
echo "sw30415 over the $count runs: descriptors $(range fds)  threads $(range threads)  resident $(range resident) kB"
echo "simulator after:  $(figures "$sim")"
ls "$work" | grep -q '\.b79$' && echo "read-back files left behind: $(ls "$work" | grep -c '\.b79$')"
echo "failed runs: $failed of $count"
((failed == 0))
