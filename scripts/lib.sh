# What the scripts share, the VM's /init among them (so busybox's sh too); sourced, not run.

# The whole firmware area, 0x8000 to 0x23FFF: 896 blocks of 128 bytes.
firmware_area_size=114688

# start_sim OUT PROGRAM [OPTION...]: starts the simulator PROGRAM in the background with its
# standard output in OUT and waits for its first line, the port. Sets sim_pid and sim_port; ends
# the script when the simulator did not come up, so that nothing carries on with an empty port.
start_sim() {
  local out=$1 program=$2
  shift 2
  rm -f "$out"
  "$program" "$@" >"$out" &
  sim_pid=$!
  for _ in $(seq 100); do
    [ -s "$out" ] && break
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.1
  done
  sim_port=$(head -n1 "$out" 2>/dev/null || true)
  if [ -z "$sim_port" ]; then
    echo "$(basename "$0"): the simulator did not start: $program $*" >&2
    exit 1
  fi
}

# start_framed_sim OUT PROGRAM [OPTION...]: start_sim with each read reply framed as a device may
# frame it: a prompt ahead of the digits, a space between the byte pairs, a prompt after the checksum.
start_framed_sim() {
  local out=$1 program=$2
  shift 2
  start_sim "$out" "$program" --read-lead '\r\n>' --read-separator ' ' --read-tail '\r\n>' "$@"
}

# reads_twice LOG: how many blocks the simulator's request log shows read more than once.
reads_twice() { grep '^READ ' "$1" | cut -d' ' -f2 | sort | uniq -d | wc -l; }
