#!/usr/bin/env bash
# The first start under a real window manager, on a 1600 × 1000 screen: the
# main window's frame, title bar and borders included, covers the middle 80 %
# of the screen (1280 × 800 at 160, 100); Ctrl+Q closes the window; and a run
# that changed only what the report page shows writes no settings file.
#
#   first_start.sh KYKLOS_BINARY
#
# Exits 77 (skipped) when xvfb-run, Openbox, xdotool or xwininfo is missing.
set -uo pipefail

binary="$1"
DESKTOP_SCREEN=1600x1000x24
source "$(dirname "$0")/session.sh"

# "X Y WIDTH HEIGHT" of the main window's frame: its inside, as xwininfo
# gives it, widened by the frame extents Openbox announces (left, right, top, bottom).
frame_geometry() {
  local main extents
  main="$(xdotool search --onlyvisible --name '^Kyklos$' 2> /dev/null | head -n 1)"
  [ -n "$main" ] || return 1
  extents="$(xprop -id "$main" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ',')"
  [ -n "$extents" ] || return 1
  xwininfo -id "$main" | awk -v extents="$extents" '
    BEGIN { split(extents, e, " ") }
    /Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
    /Width:/ { w = $NF } /Height:/ { h = $NF }
    END { print x - e[1], y - e[3], w + e[1] + e[2], h + e[3] + e[4] }'
}
frame_is() { [ "$(frame_geometry)" = "$1" ]; }
kyklos_ended() { [ ! -e "/proc/$kyklos_pid" ] || grep -q '^[0-9]* (.*) Z' "/proc/$kyklos_pid/stat"; }

start_kyklos "$binary"
wait_until 50 frame_is "160 100 1280 800" ||
  fail "the frame is $(frame_geometry), not 1280 × 800 at 160, 100"

# Display ▸ Raw Data: a setting of the page, which is not remembered.
xdotool key alt+d d
sleep 0.5
xdotool key ctrl+q
wait_until 100 kyklos_ended || fail "Ctrl+Q did not close Kyklos"
wait "$kyklos_pid" || fail "Kyklos exited with status $?"
settings="$XDG_CONFIG_HOME/Local AppWizard-Generated Applications/Kyklos.conf"
[ ! -e "$settings" ] || fail "a run that changed nothing of its own wrote $(cat "$settings")"
echo "PASS: the frame covers the middle 80 %, Ctrl+Q exits, no settings file was written"
