#!/usr/bin/env bash
# The keyboard after an analysis, under a real window manager: Kyklos runs on
# a virtual X server with Openbox and is driven with xdotool as a user would.
# After opening a profile and after Filtering ▸ OK, Ctrl+O must open the Open
# dialog without any click.
#
#   keyboard_after_analysis.sh KYKLOS_BINARY PROFILE
#
# Exits 77 (skipped) when xvfb-run, Openbox, xdotool or xwininfo is missing.
set -uo pipefail

binary="$1"
profile="$2"
for tool in xvfb-run Xvfb openbox xdotool xwininfo xprop; do
  command -v "$tool" > /dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

# Outside: start a virtual X server and run this script again inside it. The
# inner run leaves its exit status in a file: xvfb-run's own status also
# reports its clean-up. xvfb-run -a can lose the race for a display number to
# a parallel run; then there is no status, and it is tried again.
if [ -z "${KYKLOS_DESKTOP_STATUS:-}" ]; then
  status_file="$(mktemp)"
  trap 'rm -f "$status_file"' EXIT
  for attempt in 1 2 3; do
    : > "$status_file"
    KYKLOS_DESKTOP_STATUS="$status_file" timeout --kill-after=5 150 \
      xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash "$0" "$@"
    [ $? -eq 124 ] && { echo "FAIL: timed out"; exit 1; }
    status="$(cat "$status_file")"
    [ -n "$status" ] && exit "$status"
    echo "no X server on attempt $attempt"
  done
  exit 1
fi

work="$(mktemp -d)"
# Kyklos remembers its window and recent files: in a folder of the test's own.
export XDG_CONFIG_HOME="$work/config"
pids=()
cleanup() {
  local status=$?
  for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2> /dev/null; done
  # Our X server too: xvfb-run leaves it running when its own clean-up stumbles.
  [ -n "${server:-}" ] && kill "$server" 2> /dev/null
  rm -rf "$work"
  [ "$status" -ne 75 ] && echo "$status" > "$KYKLOS_DESKTOP_STATUS"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  echo "Windows:"
  xwininfo -root -tree | grep -E '^ +0x[0-9a-f]+ "' | grep -v 'has no name'
  echo "Active: $(xdotool getactivewindow getwindowname 2> /dev/null)"
  cat "$work/kyklos.log"
  exit 1
}

# Polls a command for up to $1 tenths of a second.
wait_until() {
  local tenths="$1"
  shift
  for ((i = 0; i < tenths; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

visible() { xdotool search --onlyvisible --name "^$1\$" > /dev/null 2>&1; }
hidden() { ! visible "$1"; }
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null | grep 'window id' > /dev/null; }
# The main window active and the splash (520 × 317, swallows the first key) gone.
main_window_alone() {
  local main
  main="$(xdotool search --onlyvisible --name '^Kyklos$' 2> /dev/null)"
  [ -n "$main" ] && [ "$(xdotool getactivewindow 2> /dev/null)" = "$main" ] &&
    ! xwininfo -root -tree | grep '"Kyklos": ("kyklos" "Kyklos")  520x317' > /dev/null
}
# Three polls in a row without the progress display: the analysis has ended.
analysis_over() {
  hidden ZizeruzeVizava && sleep 0.1 && hidden ZizeruzeVizava && sleep 0.1 && hidden ZizeruzeVizava
}
# Ctrl+O until the Open dialog shows, three times at most: a press that came
# while the analysis still ran was rightly dropped, but a keyboard left with
# no window stays dead, however often the user types.
ctrl_o_opens() {
  for press in 1 2 3; do
    xdotool key ctrl+o
    wait_until 30 visible Open && return 0
  done
  return 1
}

# The X server must be the one xvfb-run started for us (its child, as this
# script is), not one that won the display number and may go away any time.
server="$(tr -d ' \n' < "/tmp/.X${DISPLAY#:}-lock" 2> /dev/null)"
[ -n "$server" ] && [ "$(awk '{print $4}' "/proc/$server/stat" 2> /dev/null)" = "$PPID" ] || { server=; exit 75; }
openbox --sm-disable > "$work/openbox.log" 2>&1 &
pids+=($!)
wait_until 100 wm_running || { cat "$work/openbox.log"; fail "Openbox did not start"; }

cp "$profile" "$work/profile.kyk"
(cd "$work" && QT_QPA_PLATFORM=xcb exec "$binary") > "$work/kyklos.log" 2>&1 &
pids+=($!)
wait_until 600 main_window_alone || fail "the main window did not come up alone and active"

# Ctrl+O, then the profile's path typed into the Open dialog.
xdotool key ctrl+o
wait_until 50 visible Open || fail "Ctrl+O at start did not open the Open dialog"
xdotool type --delay 5 "$work/profile.kyk"
xdotool key Return
wait_until 50 hidden Open || fail "the Open dialog did not close"
wait_until 300 analysis_over || fail "the analysis of the profile did not end"
ctrl_o_opens || fail "Ctrl+O after opening a profile did nothing"
xdotool key Escape
wait_until 50 hidden Open || fail "Escape did not close the Open dialog"

# Analysis ▸ Filtering from the keyboard, OK, then Ctrl+O again.
xdotool key alt+a f
wait_until 50 visible "Filter Selection" || fail "Alt+A, F did not open Filter Selection"
xdotool key Return
wait_until 50 hidden "Filter Selection" || fail "Filter Selection did not close"
wait_until 300 analysis_over || fail "the filter did not end"
ctrl_o_opens || fail "Ctrl+O after Filtering ▸ OK did nothing"
xdotool key Escape
echo "PASS: the keyboard works after opening a profile and after Filtering ▸ OK"
