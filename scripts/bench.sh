#!/usr/bin/env bash
# Runs the benchmarks and writes a Markdown table to stdout and to docs/bench-latest.md:
# a full 114688-byte update through sw30415 against sw30415-sim paced at 115200 baud, the same
# through a USB serial adapter with a 16 ms and a 1 ms latency timer, and unpaced, the paced update
# with read replies handed on one character at a time, plain and framed as a device may frame them,
# the idle processor share of a connected worker and of a connected main window, the window's
# message loop during a paced update, the resident memory of sw30415 and of the window during a run,
# and the time from an abandoned run to a worker that takes the next start operation.
# The machine is shared, so the load average is given beside each figure. Needs a build with the
# windows (SW_WITH_QT on).
# Usage: scripts/bench.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh
build=${1:-build}
cmake --build "$build" -j2 --target sw30415 sw30415-sim worker-bench abandon-bench window-bench >/dev/null
blocks=$((firmware_area_size / 128))
line_bound=43.0 # 896 x (273 + 7) + 896 x (15 + 258) characters at 11520 a second

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
head -c "$firmware_area_size" /dev/urandom >"$work/image.sim"
load() { cut -d' ' -f1 /proc/loadavg; }

# Starts a fresh simulator with the arguments given; sets sim (its process) and port.
start_device() {
  start_sim "$work/sim.out" "$build/sim/sw30415-sim" --log /dev/null "$@"
  sim=$sim_pid port=$sim_port
}

# One update against a fresh simulator started with the arguments given; sets total, write, read
# (seconds), peak (kB resident) and the load at its start.
update() {
  start_device "$@"
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

# A row of the last paced update: its name, then the text after the ratio to the line bound.
paced_row() {
  printf '| %s | %.1f s, %.2f x the line bound of %s s%s | write %.1f ms, read %.1f ms a block | %s |' \
    "$1" "$total" "$(echo "$total / $line_bound" | bc -l)" "$line_bound" "$2" "$write" "$read" "$run_load"
}

update --pace
paced=$(paced_row "Full update, paced at 115200 baud" " (target 1.5 x)")
rss="| Resident memory of sw30415 during the paced run | $((peak / 1024)).$((peak % 1024 * 10 / 1024)) MB at its peak | | $run_load |"
adapters=()
for latency in 16 1; do
  update --pace --adapter-latency "$latency"
  adapters+=("$(paced_row "The same through a USB serial adapter, latency timer $latency ms" "")")
done
# Framed read replies, one character at a time: each against the plain reply handed on the same
# way, allowed the line time of its extra characters (896 read-backs and the protection read) plus 5 %.
framings=("plain||" 'text ahead|--read-lead|\r\n>' 'a space between the byte pairs|--read-separator| '
  'text after the checksum|--read-tail|\r\n>')
framed=()
for framing in "${framings[@]}"; do
  IFS='|' read -r name option text <<<"$framing"
  if [ -n "$option" ]; then
    update --pace --hand-on 1 --log "$work/sim.log" "$option" "$text"
  else
    update --pace --hand-on 1 --log "$work/sim.log"
  fi
  again=$(awk '/^READ / {n[$2]++} END {for (a in n) if (n[a] > 1) s += n[a] - 1; print s + 0}' "$work/sim.log")
  if [ -z "$option" ]; then
    plain_total=$total
    extra=0
  else
    extra=$(printf '%b' "$text" | wc -c)
    [ "$option" = --read-separator ] && extra=$((extra * 128))
  fi
  allowed=$(echo "($plain_total + $extra * ($blocks + 1) / 11520) * 1.05" | bc -l)
  verdict=$(echo "$total <= $allowed" | bc -l | sed 's/1/within/; s/0/OVER/')
  framed+=("$(printf '| Paced update, read replies one character at a time: %s | %.1f s (%s the allowed %.1f s), %s blocks read twice | write %.1f ms, read %.1f ms a block | %s |' \
    "$name" "$total" "$verdict" "$allowed" "$again" "$write" "$read" "$run_load")")
done

update
unpaced=$(printf '| Full update, unpaced (software cost) | %.1f s | write %.1f ms, read %.1f ms a block | %s |' \
  "$total" "$write" "$read" "$run_load")

idle_load=$(load)
idle=$("$build/tools/worker-bench/worker-bench" 10 | awk '/^idle/ {print $0}')
idle_share=$(echo "$idle" | grep -o '[0-9.]*% of one core')

# The window connected to a paced simulator of its own: idle, then a full update.
start_device --pace
window_load=$(load)
QT_QPA_PLATFORM=offscreen "$build/tools/window-bench/window-bench" "$port" "$work/image.sim" 10 >"$work/window.out" ||
  { echo "the window's update failed:" >&2; cat "$work/window.out" >&2; exit 1; }
kill "$sim"; wait "$sim" || true
share() { # the shares of the line of window.out that starts with $1
  awk -v what="$1" '$1 == what && /of one core/' "$work/window.out" |
    sed -E 's/.*: ([0-9.]+%) of one core \(whole process\), (.*)/\1 of one core (\2)/'
}
window_idle=$(share idle)
window_run=$(share update)
window_time=$(sed -n 's/^update *\(".*" in [0-9.]* s\)$/\1/p' "$work/window.out")
longest=$(sed -n 's/^longest gap: //p' "$work/window.out")
longest_other=$(sed -n 's/^longest gap apart from the fixed waits: //p' "$work/window.out")
histogram=$(awk '/^  / {$1 = $1; sub(/ - /, "-"); printf "%s%s", sep, $0; sep = "; "}' "$work/window.out")
window_rss=$(sed -n 's/^peak resident memory of the window process: //p' "$work/window.out")
long_gaps=$(sed -n 's/^long gap: \(.*\), ending .* on \(".*"\)$/\1 on \2/p' "$work/window.out" | paste -sd';' - | sed 's/;/; /g')

abandon_load=$(load)
abandon=$(QT_QPA_PLATFORM=offscreen "$build/tools/abandon-bench/abandon-bench" 10)
abandoned() { # the armed figures of way $1, run $2
  echo "$abandon" | awk -v head="$1: $2 run abandoned" 'index($0, head) == 1 && /armed/ {sub(/.*armed: /, ""); print}'
}

{
  echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) cores of $(awk -F': ' '/model name/ {print $2; exit}' /proc/cpuinfo), $(uname -sr)."
  echo
  echo "| Figure | Value | Per block | Load (1 min) |"
  echo "|---|---|---|---|"
  echo "$paced"
  printf '%s\n' "${adapters[@]}"
  printf '%s\n' "${framed[@]}"
  echo "$unpaced"
  echo "| Idle processor share of a connected worker over 10 s (target < 2 %) | $idle_share | | $idle_load |"
  echo "| Idle processor share of a connected main window over 10 s (target < 2 %) | $window_idle | | $window_load |"
  echo "$rss"
  echo "| Main window's paced full update | $window_time, $window_run | | $window_load |"
  echo "| Window's message loop during that update: longest gap between 10 ms ticks | $longest | | $window_load |"
  echo "| The same, apart from the fixed waits (250 ms boot reply wait) | $longest_other | | $window_load |"
  echo "| The same: gaps by length | $histogram | | $window_load |"
  echo "| The same: gaps of 50 ms or more apart from the fixed waits | ${long_gaps:-none} | | $window_load |"
  echo "| Resident memory of the window during that update | $window_rss at its peak | | $window_load |"
  for way in "stalled run" "progress window Cancel"; do
    for run in write read; do
      echo "| Abandoned $run run ($way) to the next start operation armed | $(abandoned "$way" "$run") | | $abandon_load |"
    done
  done
} | tee docs/bench-latest.md
