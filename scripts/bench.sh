#!/usr/bin/env bash
# Runs the benchmarks and writes a Markdown table to stdout and to docs/bench-latest.md:
# a full 114688-byte update through sw30415 against sw30415-sim paced at 115200 baud and unpaced,
# the idle processor share of a connected worker, the resident memory of sw30415 during a run, and
# the time from an abandoned run to a worker that takes the next start operation.
# The machine is shared, so the load average is given beside each figure.
# Usage: scripts/bench.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" -j2 --target sw30415 sw30415-sim worker-bench abandon-bench >/dev/null
blocks=896
line_bound=43.0 # 896 x (273 + 7) + 896 x (15 + 258) characters at 11520 a second

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
head -c $((blocks * 128)) /dev/urandom >"$work/image.sim"
load() { cut -d' ' -f1 /proc/loadavg; }

# One update against a fresh simulator started with the arguments given; sets total, write, read
# (seconds), peak (kB resident) and the load at its start.
update() {
  rm -f "$work/sim.out"
  "$build/sim/sw30415-sim" --log /dev/null "$@" >"$work/sim.out" &
  local sim=$!
  for _ in $(seq 100); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
  local port
  port=$(head -n1 "$work/sim.out")
  run_load=$(load)
  mkfifo "$work/out"
  local start=$EPOCHREALTIME
  "$build/cli/sw30415" update --port "$port" --image "$work/image.sim" >"$work/out" &
  local run=$!
  # Each status line with the time it arrived.
  while IFS= read -r line; do echo "$EPOCHREALTIME $line"; done <"$work/out" >"$work/stamped" &
  local stamper=$!
  peak=0
  while kill -0 "$run" 2>/dev/null; do
    local rss
    rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$run/status" 2>/dev/null || echo 0)
    ((${rss:-0} > peak)) && peak=$rss
    sleep 0.2
  done
  wait "$run" || { echo "the update failed:" >&2; cat "$work/stamped" >&2; exit 1; }
  local end=$EPOCHREALTIME
  wait "$stamper"
  rm -f "$work/out"
  kill "$sim"; wait "$sim" || true
  at() { awk -v t="$1" '$0 ~ t {print $1; exit}' "$work/stamped"; }
  total=$(echo "$end - $start" | bc -l)
  write=$(echo "($(at 'Read Firmware') - $(at 'Write Firmware')) / $blocks * 1000" | bc -l)
  read=$(echo "($(at 'Update Done') - $(at 'Read Firmware')) / $blocks * 1000" | bc -l)
}

update --pace
paced=$(printf '| Full update, paced at 115200 baud | %.1f s, %.2f x the line bound of %s s (target 1.5 x) | write %.1f ms, read %.1f ms a block | %s |' \
  "$total" "$(echo "$total / $line_bound" | bc -l)" "$line_bound" "$write" "$read" "$run_load")
rss="| Resident memory of sw30415 during the paced run | $((peak / 1024)).$((peak % 1024 * 10 / 1024)) MB at its peak | | $run_load |"
update
unpaced=$(printf '| Full update, unpaced (software cost) | %.1f s | write %.1f ms, read %.1f ms a block | %s |' \
  "$total" "$write" "$read" "$run_load")

idle_load=$(load)
idle=$("$build/tools/worker-bench/worker-bench" 10 | awk '/^idle/ {print $0}')
idle_share=$(echo "$idle" | grep -o '[0-9.]*% of one core')
abandon_load=$(load)
abandon=$("$build/tools/abandon-bench/abandon-bench" 10)
abandon_write=$(echo "$abandon" | awk '/^write run abandoned.*armed/ {sub(/.*armed: /, ""); print}')
abandon_read=$(echo "$abandon" | awk '/^read run abandoned.*armed/ {sub(/.*armed: /, ""); print}')

{
  echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) cores of $(awk -F': ' '/model name/ {print $2; exit}' /proc/cpuinfo), $(uname -sr)."
  echo
  echo "| Figure | Value | Per block | Load (1 min) |"
  echo "|---|---|---|---|"
  echo "$paced"
  echo "$unpaced"
  echo "| Idle processor share of a connected worker over 10 s (target < 2 %) | $idle_share | | $idle_load |"
  echo "$rss"
  echo "| Abandoned write run to the next start operation armed | $abandon_write | | $abandon_load |"
  echo "| Abandoned read run to the next start operation armed | $abandon_read | | $abandon_load |"
} | tee docs/bench-latest.md
