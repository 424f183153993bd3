#!/usr/bin/env bash
# sw30415 and the serial component on Linux's own serial drivers rather than a pseudo-terminal: in a
# small VM (Debian's 6.1 kernel under QEMU, no KVM needed), ttyUSB0 through ftdi_sio behind QEMU's
# USB serial adapter and ttyS1 through the 8250 UART, each with the simulator behind it on this
# machine, and ttyACM0 through cdc_acm, whose device is the gadget g_serial on dummy_hcd with the
# simulator on its ttyGS0 inside the VM. The guest (scripts/vm/guest.sh) runs the rows of one table,
# the last three of them updates of 20 kB with every read reply framed as a device may frame it;
# this script unplugs and replugs the adapter when the guest asks, swaps in the framing simulators,
# checks the devices' memory and counts the blocks they were asked to read twice, prints the table
# and exits non-zero when a row failed or is missing. The VM runs about two minutes.
# Usage: scripts/vm-test.sh [build-dir]     (the build needs sw30415, sw30415-sim, CommInt_port_tests)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh
build=${1:-build}
vm=$build/vm
script_start=$(date +%s.%N)
seconds_since() { awk -v start="$1" -v now="$(date +%s.%N)" 'BEGIN { printf "%.0f", now - start }'; }
# The whole VM run, boot to power-off; it takes about two minutes under TCG.
vm_limit=300

scripts/packages.sh qemu-system-x86 busybox-static cpio kmod xz-utils
for program in cli/sw30415 sim/sw30415-sim tests/CommInt/CommInt_port_tests; do
  [ -x "$build/$program" ] || { echo "vm-test: $build/$program is not built" >&2; exit 1; }
done
mkdir -p "$vm"

# The kernel package, unpacked into the build, never installed; kept for the next run.
kernel=$vm/kernel
if ! compgen -G "$kernel/boot/vmlinuz-*" >/dev/null; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  kernel_package() {
    apt-cache depends linux-image-amd64 2>/dev/null |
      sed -n 's/^ *Depends: \(linux-image-6\.1\.0-[0-9]*-amd64\)$/\1/p' | head -n1
  }
  package=$(kernel_package)
  if [ -z "$package" ]; then
    $sudo apt-get update -qq
    package=$(kernel_package)
  fi
  [ -n "$package" ] || { echo "vm-test: no Debian 6.1 kernel package found" >&2; exit 1; }
  rm -rf "$vm/download" "$kernel.unpacking"
  mkdir -p "$vm/download"
  (cd "$vm/download" && apt-get download -q "$package")
  dpkg-deb -x "$vm/download/"*.deb "$kernel.unpacking"
  mv "$kernel.unpacking" "$kernel"
  rm -rf "$vm/download"
fi
vmlinuz=$(compgen -G "$kernel/boot/vmlinuz-*" | head -n1)
modules=$(compgen -G "$kernel/lib/modules/*" | head -n1)

# The initramfs: busybox, the USB serial stack's modules and the gadget's with what they depend on,
# the programs with their libraries, the images, the guest's script as /init and what it shares.
root=$vm/initramfs
rm -rf "$root"
mkdir -p "$root"/{bin,dev,proc,sys,tmp,etc,root,images,lib/modules,lib/gadget,home/user}
cp /bin/busybox "$root/bin/busybox"
ln -s busybox "$root/bin/sh"
cp scripts/vm/guest.sh "$root/init"
cp scripts/lib.sh "$root/lib/lib.sh"

declare -A module_file=() module_taken=()
while IFS= read -r file; do
  name=${file##*/}
  name=${name%%.ko*}
  module_file[${name//-/_}]=$file
done < <(find "$modules" -name '*.ko*')
module_order=()
take_module() {
  local key=${1//-/_} dependency
  [ -z "${module_taken[$key]:-}" ] || return 0
  module_taken[$key]=1
  local file=${module_file[$key]:-}
  [ -n "$file" ] || { echo "vm-test: no module $1 in $modules" >&2; exit 1; }
  for dependency in $(modinfo -F depends "$file" | tr ',' ' '); do take_module "$dependency"; done
  module_order+=("$file")
}
unpack_module() { # FILE TARGET
  case $1 in
    *.ko.xz) xz -dc "$1" >"$2" ;;
    *.ko.zst) zstd -qdc "$1" >"$2" ;;
    *) cp "$1" "$2" ;;
  esac
}
# g_serial finds its ACM function by name, which would take modprobe: usb_f_acm is loaded ahead.
for module in usb-common usbcore xhci-hcd xhci-pci usbserial ftdi_sio dummy_hcd cdc-acm usb_f_acm libcomposite; do
  take_module "$module"
done
# Numbered in loading order: each after what it depends on.
index=10
for file in "${module_order[@]}"; do
  name=${file##*/}
  unpack_module "$file" "$root/lib/modules/$index-${name%%.ko*}.ko"
  index=$((index + 1))
done
# The gadget itself apart: the guest loads it with its options, removes it and loads it again.
unpack_module "${module_file[g_serial]}" "$root/lib/gadget/g_serial.ko"

for program in cli/sw30415 sim/sw30415-sim tests/CommInt/CommInt_port_tests; do
  cp "$build/$program" "$root/bin/"
  for library in $(ldd "$build/$program" | awk '$2 == "=>" && $3 ~ /^\// { print $3 } $1 ~ /^\// { print $1 }'); do
    cp -L --parents "$library" "$root"
  done
done
printf 'root:x:0:0:root:/root:/bin/sh\nuser:x:1000:1000:user:/home/user:/bin/sh\n' >"$root/etc/passwd"
printf 'root:x:0:\ndialout:x:20:\nuser:x:1000:\n' >"$root/etc/group"

# One image a run, so that the memory shows which run wrote it; 64 blocks of 128 bytes take about
# 10 s to write and read back under TCG, the unplugged runs' 128 blocks give the unplug time to land,
# the framed runs' 160 blocks are 20 kB.
declare -A image_blocks=([a]=64 [b]=64 [c]=128 [d]=64 [e]=128 [f]=64 [g]=64 [h]=64 [i]=64 [j]=160 [k]=160
  [l]=160 [m]=64 [n]=128 [o]=64)
for image in "${!image_blocks[@]}"; do
  head -c $((image_blocks[$image] * 128)) /dev/urandom >"$root/images/$image.sim"
done
(cd "$root" && find . | cpio -o -H newc --quiet) >"$vm/initramfs.cpio"

# The simulators: sim1 behind the USB adapter (a new one at each replug, as a device that was
# unplugged starts afresh, on the same memory), sim2 behind the UART; both frame their read replies
# once the guest has asked for it.
sim1_pid=0 sim2_pid=0
start_device() { # NAME COUNT: sets sim_pid and sim_port
  local start=start_sim
  [ "$framing" = 0 ] || start=start_framed_sim
  $start "$vm/$1-$2.out" "$build/sim/sw30415-sim" --pace --memory "$vm/$1.mem" --log "$vm/$1-$2.log"
}
stop_sim() { # PID: the simulator saves its memory when it ends
  kill -TERM "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}
host_failure() { echo "$*" >>"$vm/host-failures"; }
host_note() { echo "$*" >>"$vm/host-notes"; }
# The device's memory from 0x8000 on holds IMAGE; with the device's LOG, no block was read twice.
check_memory() { # ROW MEMORY IMAGE [LOG]
  cmp -s -n "$(stat -c %s "$3")" -i 32768:0 "$2" "$3" || host_failure "$1 the device's memory does not hold ${3##*/}"
  [ -n "${4:-}" ] || return 0
  local twice
  twice=$(reads_twice "$4")
  if [ "$twice" = 0 ]; then host_note "$1 0 blocks read twice"; else host_failure "$1 $twice blocks read twice"; fi
}

qemu_pid=0 monitor_reader=0
cleanup() {
  [ "$qemu_pid" = 0 ] || kill "$qemu_pid" 2>/dev/null || true
  [ "$monitor_reader" = 0 ] || kill "$monitor_reader" 2>/dev/null || true
  for pid in $sim1_pid $sim2_pid; do [ "$pid" = 0 ] || stop_sim "$pid"; done
  qemu_pid=0 monitor_reader=0 sim1_pid=0 sim2_pid=0
}
trap cleanup EXIT

# One run of the VM, from fresh devices to the check of their memory after it; sets vm_status.
run_vm() {
  rm -f "$vm"/*.mem "$vm"/sim*.out "$vm"/sim*.log "$vm/host-failures" "$vm/host-notes" "$vm/rows"
  sim1_count=0 framing=0
  start_device sim1 0
  sim1_pid=$sim_pid sim1_pty=$sim_port
  start_device sim2 0
  sim2_pid=$sim_pid sim2_pty=$sim_port

  rm -f "$vm/monitor.in" "$vm/monitor.out" "$vm/console.log"
  mkfifo "$vm/monitor.in" "$vm/monitor.out"
  # QEMU's human monitor on two pipes, opened read-write so that neither side waits for the other.
  exec 8<>"$vm/monitor.in"
  cat <>"$vm/monitor.out" >"$vm/monitor.log" &
  monitor_reader=$!
  monitor() { printf '%s\n' "$*" >&8; }

  touch "$vm/console.log"
  boot_start=$(date +%s.%N)
  timeout -k 5 "$vm_limit" qemu-system-x86_64 -accel tcg -m 512 -smp 1 -nodefaults -no-reboot -display none \
    -kernel "$vmlinuz" -initrd "$vm/initramfs.cpio" -append "console=ttyS0 quiet panic=-1" \
    -serial "file:$vm/console.log" -chardev "serial,id=s1,path=$sim2_pty" -serial chardev:s1 \
    -device qemu-xhci -chardev "serial,id=u0,path=$sim1_pty" -device usb-serial,chardev=u0,id=usb0 \
    -monitor "pipe:$vm/monitor" &
  qemu_pid=$!

  # The guest's requests come on its console, one line each.
  while IFS= read -r line; do
    line=${line%$'\r'}
    case $line in
      '@@UNPLUG'*)
        # "@@UNPLUG [ROW IMAGE]": unplug; the device stops and, when asked, its memory is checked.
        read -r _ row image <<<"$line"
        monitor "device_del usb0"
        # The old terminal's chardev is let go once the adapter is gone.
        sleep 0.5
        monitor "chardev-remove u$sim1_count"
        stop_sim "$sim1_pid"
        # A framing device's log shows the blocks read twice as well.
        log=""
        [ "$framing" = 0 ] || log=$vm/sim1-$sim1_count.log
        [ -z "$image" ] || check_memory "$row" "$vm/sim1.mem" "$root/images/$image" ${log:+"$log"}
        sim1_count=$((sim1_count + 1))
        start_device sim1 "$sim1_count"
        sim1_pid=$sim_pid
        monitor "chardev-add serial,id=u$sim1_count,path=$sim_port"
        ;;
      '@@REPLUG') monitor "device_add usb-serial,chardev=u$sim1_count,id=usb0" ;;
      '@@FRAMED')
        # The devices frame their read replies from here on. The UART's is swapped now, the plain
        # one's memory checked; the adapter's at the unplug the guest asks for next, whose replug
        # the guest waits for, and which comes after this swap.
        framing=1
        start_device sim2 framed
        monitor "chardev-change s1 serial,path=$sim_port"
        stop_sim "$sim2_pid"
        sim2_pid=$sim_pid
        check_memory update-ttyS1 "$vm/sim2.mem" "$root/images/b.sim"
        ;;
      # A verdict may follow whatever a program left on the console without a line end.
      *'ROW '*) echo "ROW ${line#*ROW }" >>"$vm/rows" ;;
    esac
  done < <(tail --pid="$qemu_pid" -s 0.1 -n +1 -F "$vm/console.log" 2>/dev/null)
  vm_status=0
  wait "$qemu_pid" || vm_status=$?
  qemu_pid=0
  vm_seconds=$(seconds_since "$boot_start")

  stop_sim "$sim2_pid"
  sim2_pid=0
  if [ "$framing" = 0 ]; then
    check_memory update-ttyS1 "$vm/sim2.mem" "$root/images/b.sim"
  else
    check_memory framed-ttyS1 "$vm/sim2.mem" "$root/images/k.sim" "$vm/sim2-framed.log"
  fi
  # The probe skips the console: nothing of the boot query may have reached it.
  ! grep -q 00000000500000 "$vm/console.log" || host_failure "probe the boot query went out on the console"
}

run_vm
# QEMU itself has been seen to crash, rarely, around an unplug: that run says nothing of the program.
if [ "$vm_status" -gt 128 ] && [ "$vm_status" -ne 137 ]; then
  crashed=$vm_status
  cp "$vm/console.log" "$vm/console-crashed.log"
  echo "vm-test: QEMU crashed (exit $crashed) after $vm_seconds s; its console log is in $vm/console-crashed.log;" \
    "the VM runs once more" >&2
  cleanup
  run_vm
fi

rows=(ports probe update-ttyUSB0 update-ttyS1 update-ttyACM0 unplug-write unplug-read unplug-ttyACM0
  user-without-group user-with-group read-only-folder latency port-tests-ttyUSB0 port-tests-ttyS1
  port-tests-ttyACM0 framed-ttyUSB0 framed-ttyS1 framed-ttyACM0)
failed=0
printf '\n| %-18s | %-7s | %7s | %s\n' Row Verdict Time Detail
for row in "${rows[@]}"; do
  verdict=MISSING seconds="" detail="no verdict from the guest"
  result=$(grep -m1 "^ROW $row: " "$vm/rows" 2>/dev/null || true)
  if [ -n "$result" ]; then
    result=${result#"ROW $row: "}
    verdict=${result%% *}
    detail=${result#"$verdict"}
    seconds=$(sed -n 's/.*(\([0-9.]*\) s)$/\1/p' <<<"$detail")
    detail=$(sed 's/ *([0-9.]* s)$//; s/^ *//' <<<"$detail")
  fi
  for kind in note failure; do
    while IFS= read -r line; do
      [ "$kind" = note ] || verdict=FAIL
      detail="$detail; ${line#"$row "}"
    done < <(grep "^$row " "$vm/host-${kind}s" 2>/dev/null || true)
  done
  [ "$verdict" = PASS ] || failed=$((failed + 1))
  printf '| %-18s | %-7s | %7s | %s\n' "$row" "$verdict" "${seconds:+$seconds s}" "$detail"
done
printf '\nVM run %s s (QEMU exit %s%s), whole script %s s; console log in %s\n' "$vm_seconds" "$vm_status" \
  "${crashed:+; the run before crashed with exit $crashed}" \
  "$(seconds_since "$script_start")" "$vm/console.log"
if [ "$failed" -ne 0 ]; then
  echo "vm-test: $failed of ${#rows[@]} rows failed or are missing" >&2
  exit 1
fi
