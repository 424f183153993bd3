#!/usr/bin/env bash
# Production-line figures: eight simulated devices paced at 115200 baud, one full update of the whole
# firmware area (896 blocks) on each at once, next to one update alone; the processor share of the
# whole sw30415 process (user + system time over wall time, from /usr/bin/time -v); and the same
# eight with one device unplugged halfway through its update. Takes a few minutes; run it on an
# otherwise idle machine. Usage: scripts/bench-production.sh [build-dir] [devices]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh
build_dir=$(realpath "${1:-build}")
devices=${2:-8}
cli="$build_dir/cli/sw30415"
sim="$build_dir/sim/sw30415-sim"
[ -x "$cli" ] && [ -x "$sim" ] || { echo "bench: build sw30415 and sw30415-sim in $build_dir first" >&2; exit 1; }

work=$(mktemp -d /tmp/bench-production.XXXXXX)
sims=()
cleanup() {
  for pid in "${sims[@]}"; do kill -INT "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
head -c "$firmware_area_size" /dev/urandom >"$work/image.sim"

# Starts N paced simulators in $work/$tag; fills ports and sims.
start_sims() {
  local tag=$1 count=$2 i out
  ports=()
  sims=()
  for i in $(seq "$count"); do
    start_sim "$work/$tag-sim$i.out" "$sim" --pace --log "$work/$tag-sim$i.log"
    sims+=("$sim_pid")
    ports+=(--port "$sim_port")
  done
}

stop_sims() {
  for pid in "${sims[@]}"; do kill -INT "$pid" 2>/dev/null || true; done
  wait "${sims[@]}" 2>/dev/null || true
  sims=()
}

# Runs sw30415 update on the ports under /usr/bin/time; prints "wall-seconds cpu-percent exit done-count",
# cpu-percent being user plus system time over wall time.
timed_update() {
  local tag=$1 code=0
  shift
  /usr/bin/time -v -o "$work/$tag.time" "$cli" update "$@" --image "$work/image.sim" >"$work/$tag.out" 2>&1 || code=$?
  local wall cpu done_count
  wall=$(awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, p, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + p[i]; print s }' "$work/$tag.time")
  # time's own percentage is whole numbers; from the times it is finer.
  cpu=$(awk -F': ' -v wall="$wall" '/User time|System time/ { s += $2 } END { printf "%.1f", 100 * s / wall }' "$work/$tag.time")
  done_count=$(sed -n "/^port /,\$p" "$work/$tag.out" | grep -c "Update Done" || true)
  echo "$wall $cpu $code $done_count"
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"

start_sims single 1
read -r single_wall single_cpu single_code _ < <(timed_update single "${ports[@]}")
stop_sims
echo "one device:        ${single_wall} s, ${single_cpu} % of a core, exit ${single_code}"

start_sims many "$devices"
read -r many_wall many_cpu many_code many_done < <(timed_update many "${ports[@]}")
stop_sims
echo "$devices devices at once: ${many_wall} s ($(awk -v a="$many_wall" -v b="$single_wall" 'BEGIN { printf "%.2f", a / b }')x one alone)," \
  "${many_cpu} % of a core, exit ${many_code}, ${many_done} x Update Done"
sed -n '/^port /,$p' "$work/many.out"

start_sims unplug "$devices"
# The last device goes away halfway through the time one update takes.
unplugged=${sims[$((devices - 1))]}
(sleep "$(awk -v s="$single_wall" 'BEGIN { print s / 2 }')" && kill -TERM "$unplugged") &
read -r unplug_wall unplug_cpu unplug_code unplug_done < <(timed_update unplug "${ports[@]}")
stop_sims
echo "$devices devices, one unplugged halfway: ${unplug_wall} s, ${unplug_cpu} % of a core, exit ${unplug_code}," \
  "${unplug_done} x Update Done"
sed -n '/^port /,$p' "$work/unplug.out"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
