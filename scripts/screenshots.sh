#!/usr/bin/env bash
# Builds Kyklos and takes screenshots of the desktop application under a
# virtual X server: the start-up screen with the splash, the main window with
# the demonstration report (plain and centred), the context menu, the
# Reference Selection, Filter Selection, About and Roundness Display dialogs
# and the progress display. Also prints the time from start to the first
# painted report.
#
#   scripts/screenshots.sh [output folder]     (default: build/screenshots)
#
# tools/screenshots (kyklos-screenshots) starts the application as kyklos
# does, walks through its windows, writes one PNG per window there and quits.
# KYKLOS_STARTUP_TIMING=1 makes it print the start-up time.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(mkdir -p "${1:-$root/build/screenshots}" && cd "${1:-$root/build/screenshots}" && pwd)"
build="${KYKLOS_BUILD_DIR:-$root/build}"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build" --target kyklos-screenshots -j "$(nproc)"

# The logos are looked for in the current folder.
cd "$root/resources"
KYKLOS_STARTUP_TIMING=1 \
  timeout 120 xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tools/screenshots/kyklos-screenshots" "$out"
ls -1 "$out"
