#!/bin/sh
# /init of the VM that scripts/vm-test.sh boots: loads the USB serial stack and the serial gadget,
# starts the simulator on the gadget's ttyGS0, then runs the table's rows against ttyUSB0 (ftdi_sio),
# ttyS1 (8250) and ttyACM0 (cdc_acm), one "ROW name: PASS|FAIL detail (seconds s)" line each on the
# console. The last three rows update 20 kB through each with the read replies framed (text ahead,
# between the byte pairs and after the checksum) and count the blocks read twice (0 expected).
# Lines beginning with @@ ask the host to unplug or replug the adapter, or to frame its devices'
# replies from then on.
/bin/busybox --install -s /bin
export PATH=/bin HOME=/root
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev
mount -t tmpfs tmp /tmp
chown user:user /home/user
for module in /lib/modules/*.ko; do insmod "$module" || echo "guest: insmod $module failed"; done
. /lib/lib.sh

now() { cut -d' ' -f1 /proc/uptime; }
# Kernel log time of the last line matching PATTERN.
log_time() { dmesg | grep -E "$1" | tail -n1 | sed -n 's/^\[ *\([0-9.]*\)\].*/\1/p'; }
attached() { dmesg | grep -c 'now attached to ttyUSB0'; }
# Waits up to SECONDS for a shell condition, looking every tenth of a second.
wait_for() {
  tries=$(($1 * 10))
  shift
  while ! eval "$*"; do
    tries=$((tries - 1))
    [ $tries -gt 0 ] || return 1
    sleep 0.1
  done
}
# As udev would: the ports belong to dialout, which may read and write them.
own_ports() {
  for node in /dev/ttyUSB0 /dev/ttyS1 /dev/ttyACM0; do
    [ ! -e "$node" ] || { chgrp dialout "$node" && chmod 660 "$node"; }
  done
}
# Waits for the adapter's COUNTth attachment since boot.
wait_attached() {
  wait_for 30 '[ "$(attached)" -ge '"$1"' ] && [ -c /dev/ttyUSB0 ]' || return 1
  own_ports
}
# The host unplugs the adapter, checks that the device's memory holds IMAGE for ROW, plugs it back.
check_usb_memory() { # ROW IMAGE
  count=$(attached)
  echo "@@UNPLUG $1 $2"
  wait_for 30 '[ ! -e /dev/ttyUSB0 ]' && echo "@@REPLUG" && wait_attached $((count + 1)) ||
    { detail="$detail; not back after the memory check"; return 1; }
}
# The gadget's device: the simulator on ttyGS0, in here, its memory and logs in /tmp; the PC's side
# is ttyACM0. START is start_sim, or start_framed_sim for replies framed.
acm_pid=0 acm_count=0 acm_start=start_sim
load_gadget() { insmod /lib/gadget/g_serial.ko use_acm=1; }
start_gadget_device() { # [START]
  acm_start=${1:-start_sim}
  wait_for 30 '[ -c /dev/ttyGS0 ]' || { detail="$detail; no ttyGS0"; return 1; }
  acm_count=$((acm_count + 1))
  $acm_start /tmp/acm.out /bin/sw30415-sim --device /dev/ttyGS0 --pace --memory /tmp/acm.mem \
    --log "/tmp/acm-$acm_count.log"
  acm_pid=$sim_pid
  wait_for 30 '[ -c /dev/ttyACM0 ]' || { detail="$detail; no ttyACM0"; return 1; }
  own_ports
}
stop_gadget_device() {
  kill -TERM $acm_pid 2>/dev/null
  wait $acm_pid
}
# The simulator ends and saves its memory, which must hold IMAGE from 0x8000 on; a framing one's log
# must show no block read twice. Then it starts again as it was.
check_acm_memory() { # ROW IMAGE
  stop_gadget_device
  cmp -s -n "$(wc -c <"/images/$2")" "/images/$2" /tmp/acm.mem 0 32768 ||
    { detail="$detail; the device's memory does not hold $2"; return 1; }
  if [ $acm_start = start_framed_sim ]; then
    twice=$(reads_twice "/tmp/acm-$acm_count.log")
    detail="$detail; $twice blocks read twice"
    [ "$twice" -eq 0 ] || return 1
  fi
  start_gadget_device $acm_start
}
# Runs a command line as the ordinary user; /tmp's sticky bit keeps root's output files from it.
as_user() {
  rm -f /tmp/out /tmp/err
  su user -s /bin/sh -c "$*"
}

row() { # NAME CHECK
  detail=""
  start=$(now)
  if $2; then verdict=PASS; else verdict=FAIL; fi
  echo "ROW $1: $verdict $detail ($(awk "BEGIN { printf \"%.1f\", $(now) - $start }") s)"
}

# A whole update that must end in "Update Done": PORT IMAGE [as-user]
update_done() {
  command="timeout 120 /bin/sw30415 update --port $1 --image $2 >/tmp/out 2>/tmp/err"
  if [ -n "$3" ]; then as_user "$command"; else eval "$command"; fi
  status=$?
  if [ $status -ne 0 ] || ! grep -qx 'Update Done' /tmp/out; then
    detail="$detail $1: exit $status, $(tail -n1 /tmp/out) $(tail -n1 /tmp/err)"
    return 1
  fi
  detail="$detail $1: Update Done"
}

ports() {
  listed=$(/bin/sw30415 ports 2>&1)
  detail=$(echo $listed)
  for port in ttyS0 ttyS1 ttyUSB0 ttyACM0; do
    echo "$listed" | grep -Eqx "(/dev/)?$port" || { detail="$detail; $port missing"; return 1; }
  done
  for port in ttyS2 ttyS3; do
    ! echo "$listed" | grep -Eqx "(/dev/)?$port" || { detail="$detail; phantom $port listed"; return 1; }
  done
}

probe() {
  timeout 30 /bin/sw30415 ports --probe >/tmp/out 2>&1
  detail=$(tr -s ' \n' ' ' </tmp/out)
  for port in ttyUSB0 ttyS1 ttyACM0; do
    grep -Eq "^(/dev/)?$port +boot mode: \"BOOT VER 1.05\"" /tmp/out || return 1
  done
  grep -Eq '^(/dev/)?ttyS0 +skipped \(system console\)' /tmp/out
}

update_usb() { cp /images/a.sim /root/ && update_done ttyUSB0 /root/a.sim && check_usb_memory update-ttyUSB0 a.sim; }
# The host compares the UART device's memory when the framing one takes its place.
update_uart() { cp /images/b.sim /root/ && update_done ttyS1 /root/b.sim; }
update_acm() { cp /images/m.sim /root/ && update_done ttyACM0 /root/m.sim && check_acm_memory update-ttyACM0 m.sim; }

# The devices unplug_during pulls and puts back: usb, the adapter the host unplugs, and acm, the
# gadget removed in here (its simulator ends on the hang-up) and loaded again.
usb_port=ttyUSB0
usb_disconnect='converter now disconnected from ttyUSB0'
usb_unplug() { count=$(attached) && echo "@@UNPLUG"; }
usb_replug() { echo "@@REPLUG" && wait_attached $((count + 1)); }
acm_port=ttyACM0
acm_disconnect='USB disconnect, device number'
acm_unplug() {
  rmmod g_serial &
  removal=$!
}
acm_replug() { wait $removal && load_gadget && start_gadget_device; }

# Unplugs DEVICE once the update's output shows PATTERN; the run must end with exit 10 within a
# second of the kernel's disconnect, without "Update Done" and without a read-back file. Then a good
# update through the device plugged in again.
unplug_during() { # DEVICE PATTERN IMAGE NEXT-IMAGE ROW [PATTERN-NOT-YET-SEEN]
  eval "port=\$${1}_port disconnect=\$${1}_disconnect"
  mkdir -p /root/unplug && rm -f /root/unplug/* /tmp/out
  cp "/images/$3" /root/unplug/
  timeout 120 /bin/sw30415 update --port $port --image "/root/unplug/$3" >/tmp/out 2>&1 &
  pid=$!
  wait_for 60 "grep -q '$2' /tmp/out" || { kill $pid; detail="never saw $2"; return 1; }
  ${1}_unplug
  wait $pid
  status=$?
  echo "vm-test: update ended" >/dev/kmsg
  gone=$(log_time "$disconnect")
  ended=$(log_time 'vm-test: update ended')
  after=$(awk "BEGIN { printf \"%.3f\", $ended - ${gone:-0} }")
  detail="exit $status $after s after the disconnect, $(tail -n1 /tmp/out | tr -s ' ')"
  left=$(ls /root/unplug/*.b79 2>/dev/null)
  ${1}_replug || { detail="$detail; not attached again"; return 1; }
  [ $status -eq 10 ] && [ -n "$gone" ] && awk "BEGIN { exit !($after >= 0 && $after < 1) }" || return 1
  ! grep -q 'Update Done' /tmp/out || { detail="$detail; Update Done said"; return 1; }
  [ -z "$left" ] || { detail="$detail; read-back file left"; return 1; }
  [ -z "$6" ] || ! grep -q "$6" /tmp/out || { detail="$detail; unplugged after $6"; return 1; }
  detail="$detail; plugged in again,"
  cp "/images/$4" /root/unplug/ && update_done $port "/root/unplug/$4" && check_${1}_memory "$5" "$4"
}
unplug_write() { unplug_during usb 'blocks' c.sim d.sim unplug-write 'Read Firmware'; }
unplug_read() { unplug_during usb 'Read Firmware' e.sim f.sim unplug-read; }
unplug_acm() { unplug_during acm 'blocks' n.sim o.sim unplug-ttyACM0 'Read Firmware'; }

user_without_group() {
  cp /images/g.sim /home/user/ && chown user:user /home/user/g.sim
  as_user "timeout 60 /bin/sw30415 update --port ttyUSB0 --image /home/user/g.sim >/tmp/out 2>/tmp/err"
  status=$?
  detail="exit $status: $(tr -s '\n' ' ' </tmp/err)"
  [ $status -eq 3 ] && grep -q dialout /tmp/err && grep -q /dev/ttyUSB0 /tmp/err
}
user_with_group() {
  sed -i 's/^dialout:x:20:$/dialout:x:20:user/' /etc/group
  update_done ttyUSB0 /home/user/g.sim user && check_usb_memory user-with-group g.sim
}
read_only_folder() {
  mkdir -p /home/user/sealed && cp /images/h.sim /home/user/sealed/ && chmod 644 /home/user/sealed/h.sim
  as_user "timeout 120 /bin/sw30415 update --port ttyUSB0 --image /home/user/sealed/h.sim >/tmp/out 2>/tmp/err"
  status=$?
  detail="exit $status, $(tail -n1 /tmp/err)"
  # Refused before the port opens: nothing written to a device that could not then be verified.
  [ $status -eq 8 ] && grep -q 'no read-back file can be created' /tmp/err && [ ! -s /tmp/out ]
}

latency() {
  timer=/sys/bus/usb-serial/devices/ttyUSB0/latency_timer
  # QEMU's adapter reports 0 ms where a real chip reports its default of 16: set as a real one.
  echo 16 >$timer
  before=$(cat $timer)
  cp /images/i.sim /root/
  rm -f /tmp/out
  timeout 120 /bin/sw30415 update --port ttyUSB0 --image /root/i.sim >/tmp/out 2>&1 &
  pid=$!
  during=""
  while kill -0 $pid 2>/dev/null; do
    grep -q 'Write Firmware' /tmp/out && during=$(cat $timer) && break
    sleep 0.05
  done
  wait $pid
  status=$?
  after=$(cat $timer)
  detail="latency_timer $before before, ${during:-never read} while open, $after after; exit $status"
  [ "$before" = 16 ] && [ "$during" = 1 ] && [ "$after" = 16 ] && [ $status -eq 0 ]
}

port_tests() { # DEVICE
  SW_TEST_PORT=$1 timeout 300 /bin/CommInt_port_tests --gtest_brief=1 >/tmp/gtest 2>&1
  status=$?
  stty -F "$1" 115200 cs8 -parenb -cstopb
  ran=$(sed -n 's/^\[==========\] \([0-9]*\) tests\{0,1\} from .* ran\..*/\1/p' /tmp/gtest)
  total=$(sed -n 's/.* ran\. (\([0-9]* ms\) total)$/\1/p' /tmp/gtest)
  detail="exit $status, ${ran:-no} cases ran in ${total:-?}"
  if [ $status -ne 0 ] || grep -q SKIPPED /tmp/gtest || [ "${ran:-0}" -eq 0 ]; then
    sed 's/^/gtest: /' /tmp/gtest
    detail="$detail; $(grep -E '^\[  (FAILED|SKIPPED) \] [A-Z]' /tmp/gtest | tr -s '\n' ' ')"
    return 1
  fi
}
port_tests_usb() { port_tests /dev/ttyUSB0; }
port_tests_uart() { port_tests /dev/ttyS1; }
port_tests_acm() { port_tests /dev/ttyACM0; }

# The host's devices frame their replies from here on: the UART's at once, the adapter's after the
# unplug that follows (with no memory to check), which also tells that the host has swapped both.
framed_usb() {
  echo "@@FRAMED"
  check_usb_memory "" "" && cp /images/j.sim /root/ && update_done ttyUSB0 /root/j.sim &&
    check_usb_memory framed-ttyUSB0 j.sim
}
# The host checks the memory and counts the blocks read twice when the VM has ended.
framed_uart() { cp /images/k.sim /root/ && update_done ttyS1 /root/k.sim; }
framed_acm() {
  stop_gadget_device && start_gadget_device start_framed_sim && cp /images/l.sim /root/ &&
    update_done ttyACM0 /root/l.sim && check_acm_memory framed-ttyACM0 l.sim
}

if wait_attached 1 && load_gadget && start_gadget_device; then
  row ports ports
  row probe probe
  row update-ttyUSB0 update_usb
  row update-ttyS1 update_uart
  row update-ttyACM0 update_acm
  row unplug-write unplug_write
  row unplug-read unplug_read
  row unplug-ttyACM0 unplug_acm
  row user-without-group user_without_group
  row user-with-group user_with_group
  row read-only-folder read_only_folder
  row latency latency
  row port-tests-ttyUSB0 port_tests_usb
  row port-tests-ttyS1 port_tests_uart
  row port-tests-ttyACM0 port_tests_acm
  row framed-ttyUSB0 framed_usb
  row framed-ttyS1 framed_uart
  row framed-ttyACM0 framed_acm
else
  echo "guest: no ttyUSB0, or no ttyACM0 $detail"
  dmesg | tail -n 30
fi
echo "@@END"
sync
poweroff -f
