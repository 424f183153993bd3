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

# For the scripts that drive the windows as a person does, on a virtual X display.
# start_xvfb: starts one, exports DISPLAY, sets xvfb_pid and waits until the display answers.
start_xvfb() {
  local display=:$((90 + RANDOM % 100))
  Xvfb "$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=$display
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && return; sleep 0.1; done
  echo "$(basename "$0"): the virtual X display $display did not start" >&2
  exit 1
}

# The window with Title, once it is mapped (30 s at most: a program under Wine starts slowly).
window_of() {
  local id=""
  for _ in $(seq 300); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1) && [ -n "$id" ] && break
    sleep 0.1
  done
  [ -n "$id" ] || { echo "no window '$1'" >&2; exit 1; }
  echo "$id"
}

# Ends the script unless the X server holds Title as the window's title.
expect_title() {
  local title
  title=$(xprop -id "$1" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
  [ "$title" = "$2" ] || { echo "$(basename "$0"): the title bar reads '$title', not '$2'" >&2; exit 1; }
}

# main_window: the main window, once mapped, after checking the caption the X server holds for it.
main_window() {
  local id
  id=$(window_of "SW30415 Fiber Optic Converter")
  expect_title "$id" "brimtor.example - SW30415 Fiber Optic Converter"
  echo "$id"
}

# Clicks the middle of a control given by its place in the window.
click_at() { xdotool mousemove --window "$1" "$2" "$3" click 1; }

# ocr_window WINDOW X Y W H: the text that the window shows in that rectangle, as read off its pixels
# (empty when the window cannot be read).
ocr_window() {
  local shot
  shot=$(mktemp --suffix=.png)
  if import -window "$1" "$shot" 2>/dev/null &&
    convert "$shot" -crop "$4x$5+$2+$3" +repage -colorspace Gray -resize 300% -threshold 55% "$shot"; then
    tesseract "$shot" - --psm 7 2>/dev/null | tr -s ' \n' ' ' | sed 's/^ *//; s/ *$//' || true
  fi
  rm -f "$shot"
}

# reads_as READ WANTED: whether text read off the screen is WANTED, allowing for two letters misread
# (case, spaces and other marks aside): the texts a window shows differ from each other by far more.
reads_as() {
  awk -v a="$1" -v b="$2" 'BEGIN {
    a = tolower(a); b = tolower(b); gsub(/[^a-z0-9]/, "", a); gsub(/[^a-z0-9]/, "", b)
    n = length(a); m = length(b)
    for (j = 0; j <= m; j++) d[0, j] = j
    for (i = 1; i <= n; i++) {
      d[i, 0] = i
      for (j = 1; j <= m; j++) {
        c = d[i - 1, j - 1] + (substr(a, i, 1) != substr(b, j, 1))
        if (d[i - 1, j] + 1 < c) c = d[i - 1, j] + 1
        if (d[i, j - 1] + 1 < c) c = d[i, j - 1] + 1
        d[i, j] = c
      }
    }
    exit !(d[n, m] <= 2)
  }'
}
