# The desktop tests' session, sourced by each test after it has read its
# arguments: a virtual X server (Xvfb) with Openbox, in which the test drives
# Kyklos with xdotool as a user would. Sourcing it runs the test again inside
# the X server and comes back there with Openbox running, a folder $work of
# the test's own (also the program's settings folder) and these helpers.
#
# Set DESKTOP_SCREEN (WIDTHxHEIGHTxDEPTH, default 1280x1024x24) before sourcing.
# Exits 77 (skipped) when xvfb-run, Openbox, xdotool or xwininfo is missing.
# shellcheck shell=bash

for tool in xvfb-run Xvfb openbox xdotool xwininfo xprop; do
  command -v "$tool" > /dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

# Outside: start a virtual X server and run the test again inside it. The
# inner run leaves its exit status in a file: xvfb-run's own status also
# reports its clean-up. xvfb-run -a can lose the race for a display number to
# a parallel run; then there is no status, and it is tried again.
if [ -z "${KYKLOS_DESKTOP_STATUS:-}" ]; then
  status_file="$(mktemp)"
  trap 'rm -f "$status_file"' EXIT
  for attempt in 1 2 3; do
    : > "$status_file"
    KYKLOS_DESKTOP_STATUS="$status_file" timeout --kill-after=5 150 \
      xvfb-run -a -s "-screen 0 ${DESKTOP_SCREEN:-1280x1024x24} -nolisten tcp" bash "$0" "$@"
    [ $? -eq 124 ] && { echo "FAIL: timed out"; exit 1; }
    status="$(cat "$status_file")"
    [ -n "$status" ] && exit "$status"
    echo "no X server on attempt $attempt"
  done
  exit 1
fi

work="$(mktemp -d)"
# Kyklos's settings and Qt's file dialog history: in a folder of the test's own.
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
  cat "$work/kyklos.log" 2> /dev/null
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

# Starts KYKLOS_BINARY [ARGUMENTS] in $work and waits for its main window alone and active.
start_kyklos() {
  (cd "$work" && QT_QPA_PLATFORM=xcb exec "$@") > "$work/kyklos.log" 2>&1 &
  kyklos_pid=$!
  pids+=("$kyklos_pid")
  wait_until 600 main_window_alone || fail "the main window did not come up alone and active"
}

# The X server must be the one xvfb-run started for us (its child, as this
# script is), not one that won the display number and may go away any time.
server="$(tr -d ' \n' < "/tmp/.X${DISPLAY#:}-lock" 2> /dev/null)"
[ -n "$server" ] && [ "$(awk '{print $4}' "/proc/$server/stat" 2> /dev/null)" = "$PPID" ] || { server=; exit 75; }
openbox --sm-disable > "$work/openbox.log" 2>&1 &
pids+=($!)
wait_until 100 wm_running || { cat "$work/openbox.log"; fail "Openbox did not start"; }
