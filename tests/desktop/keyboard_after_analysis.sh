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
source "$(dirname "$0")/session.sh"

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

cp "$profile" "$work/profile.kyk"
start_kyklos "$binary"

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
