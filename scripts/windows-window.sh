# The window and the installer under Wine; sourced by scripts/windows.sh, whose build, Wine prefix,
# X display, simulator helpers and image it uses.

# Where the main window shows the connection's status (beside Init) and the update's stage
# (window coordinates, as the window lays them out), for ocr_window.
status_box=(236 48 130 22)
stage_box=(90 170 270 22)

# wait_for_text WINDOW BOX SECONDS TEXT: waits until the box reads TEXT, or reads of an error, or the
# time is up; ends the script unless it reads TEXT.
wait_for_text() {
  local window=$1 box=$2 limit=$3 want=$4 text="" deadline=$((SECONDS + $3))
  local -n place=$box
  while ((SECONDS < deadline)); do
    text=$(ocr_window "$window" "${place[@]}")
    reads_as "$text" "$want" && return
    [[ $text == Error* ]] && break
    sleep 0.5
  done
  echo "windows: the window reads '$text', not '$want' (within $limit s)" >&2
  exit 1
}

# window_update LABEL PORT PROGRAM...: starts the window, checks its caption, types PORT into the
# port box, clicks Init and then Update Firmware as a person does, and waits for "Update Done". The
# image is the one in the program's master folder. Leaves the window open; sets window, window_pid
# and update_ms. With SHOTS set, takes the window idle, connected and its About window into SHOTS-*.png.
window_update() {
  local label=$1 port=$2
  shift 2
  "$@" 2>"$ports/$label-window.err" &
  window_pid=$!
  pids+=("$window_pid")
  window=$(main_window)
  sleep 1
  [ -z "${SHOTS:-}" ] || import -window "$window" "$SHOTS-main-idle.png"
  click_at "$window" 60 58
  xdotool key --window "$window" ctrl+a
  xdotool type --window "$window" --delay 5 "$port"
  click_at "$window" 182 57
  wait_for_text "$window" status_box 10 Initialized
  if [ -n "${SHOTS:-}" ]; then
    import -window "$window" "$SHOTS-main-connected.png"
    click_at "$window" 358 31
    local about
    about=$(window_of "About...")
    expect_title "$about" "About..."
    sleep 1
    import -window "$about" "$SHOTS-about.png"
    # OK, at 49, 125 in the window's 378 x 148; where the platform draws the frame itself (Wine
    # with no window manager), the X window holds the frame too.
    local width height border
    eval "$(xdotool getwindowgeometry --shell "$about" | grep -E '^(WIDTH|HEIGHT)=' | tr A-Z a-z)"
    border=$(((width - 378) / 2))
    click_at "$about" $((49 + border)) $((125 + height - 148 - border))
    for _ in $(seq 50); do xdotool search --onlyvisible --name "About..." >/dev/null || break; sleep 0.1; done
  fi
  local start
  start=$(now_ms)
  click_at "$window" 112 147
  wait_for_text "$window" stage_box 150 "Update Done"
  update_ms=$(($(now_ms) - start))
}

# The same whole update through each window, the Windows one under Wine and the Linux one on X.
for side in windows linux; do
  rm -f "$memory"
  start_linked_sim "$ports/com7" --pace --memory "$memory" --log "$ports/com7.log"
  if [ "$side" = windows ]; then
    program=("wine" "$win_build/app/SW30415.exe") port=COM7 SHOTS=docs/screenshots/windows
  else
    program=(env QT_QPA_PLATFORM=xcb "$linux_build/app/SW30415") port=$ports/com7 SHOTS=""
  fi
  master=$(dirname "${program[-1]}")/master
  mkdir -p "$master"
  cp "$image" "$master/Sim30415.sim"
  window_update "$side" "$port" "${program[@]}"
  kill "$window_pid"
  wait "$window_pid" 2>/dev/null || true
  rm -rf "$master"
  stop_sims
  cmp --ignore-initial=0:$((0x8000)) --bytes="$size" "$image" "$memory"
  declare "${side}_window_ms=$update_ms"
done
echo "Full update through the window ($size bytes, 115200 baud): $(seconds "$windows_window_ms") s" \
  "under Wine, $(seconds "$linux_window_ms") s on Linux; screenshots in docs/screenshots/windows-*.png"

# The installer and the zip, then a silent install, again over its folder deleted by hand (the
# registry's entry stays), both programs from the installed folder alone (no path to the build's
# DLLs) and a silent uninstall that must leave nothing.
(cd "$win_build" && cpack >cpack.log 2>&1) || { cat "$win_build/cpack.log" >&2; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$win_build/CMakeCache.txt")
installer=$win_build/sw30415-$version-win64.exe
folder=$WINEPREFIX/drive_c/Program\ Files/sw30415
wine "$installer" /S '/D=C:\Program Files\sw30415'
rm -rf "$folder"
status=0
timeout 120 wine "$installer" /S '/D=C:\Program Files\sw30415' || status=$?
[ "$status" = 0 ] || { echo "windows: installing over a folder deleted by hand ended with $status" >&2; exit 1; }
link=$(find "$WINEPREFIX/drive_c" -name 'SW30415 Firmware Update.lnk' | head -n1)
[ -n "$link" ] || { echo "windows: the installer made no Start menu entry" >&2; exit 1; }
installed_version=$(WINEPATH="" wine 'C:\Program Files\sw30415\bin\sw30415.exe' --version | tr -d '\r')
[[ $installed_version == *"$version"* ]] || { echo "windows: installed sw30415 --version: $installed_version" >&2; exit 1; }
WINEPATH="" wine 'C:\Program Files\sw30415\SW30415.exe' &
window_pid=$!
pids+=("$window_pid")
main_window >/dev/null
kill "$window_pid"
wait "$window_pid" 2>/dev/null || true
wine 'C:\Program Files\sw30415\Uninstall.exe' /S
# The uninstaller runs from a copy of itself and returns at once.
for _ in $(seq 300); do [ -e "$folder" ] || [ -e "$link" ] || break; sleep 0.1; done
if [ -e "$folder" ] || [ -e "$link" ]; then
  echo "windows: the uninstaller left $folder or $link" >&2
  exit 1
fi
echo "Installer $(basename "$installer"): $(($(stat -c %s "$installer") / 1024)) KiB, zip" \
  "$(($(stat -c %s "${installer%.exe}.zip") / 1024)) KiB; installed, installed again over its folder deleted by hand," \
  "both programs started, uninstalled"
