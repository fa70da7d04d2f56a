#!/usr/bin/env bash
# The whole run of kyklos-report (reading, filter, minimum zone, output) on a
# 36000-row table at unequal angles (a step of 0.01° give or take 40 %)
# beside the same form as a 36000-point .kyk file at equal steps, default
# filter, one profile per process as a user runs it. Prints the time per run
# of each and their ratio; the table should stay within 5× the .kyk file.
#
#   bench/anyangle_run_bench.sh [BUILD_DIR] [RUNS]   (defaults: build, 50)
set -euo pipefail
export LC_ALL=C # full stops in the numbers awk, bc and printf write

build=${1:-build}
runs=${2:-50}
report="$build/src/cli/kyklos-report"
[[ -x $report ]] || { echo "no $report: build the kyklos-report target first" >&2; exit 1; }
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

# An eccentric lobed part with probe noise, radii in mm (µm in the .kyk file).
form='10 + 0.02 * cos(t) - 0.015 * sin(t) + 0.002 * cos(3 * t + 0.4) + 0.001 * cos(7 * t + 1.1) + 0.0005 * cos(23 * t) + 0.0002 * (rand() - 0.5)'
awk "BEGIN { srand(36); pi = atan2(0, -1); print \"angle [deg],radius [mm]\"
  for (i = 0; i < 36000; i++) { a = (i + 0.5 + 0.8 * (rand() - 0.5)) * 0.01; t = a * pi / 180
    printf \"%.6f,%.6f\n\", a, $form } }" > "$folder/unequal.csv"
awk "BEGIN { srand(36); pi = atan2(0, -1)
  print \"KYKLOS_DATA 1.0\"; print \"IDENTIFICATION: equal steps\"; print \"DATE: -\"
  print \"NUMBER_OF_POINTS: 36000\"; print \"PROFILE_UM:\"
  for (i = 0; i < 36000; i++) { t = i * 0.01 * pi / 180; printf \"%.3f\n\", 1000 * ($form) } }" > "$folder/equal.kyk"

seconds_per_run() {
  local start end
  "$report" -q -j 1 --reference mz "$1" > /dev/null # the file cache warmed
  start=$(date +%s.%N)
  for ((i = 0; i < runs; ++i)); do "$report" -q -j 1 --reference mz "$1" > /dev/null; done
  end=$(date +%s.%N)
  echo "($end - $start) / $runs" | bc -l
}

kyk=$(seconds_per_run "$folder/equal.kyk")
table=$(seconds_per_run "$folder/unequal.csv")
printf 'equal-step .kyk:        %.1f ms per run\n' "$(echo "$kyk * 1000" | bc -l)"
printf 'unequal-angle table:    %.1f ms per run\n' "$(echo "$table * 1000" | bc -l)"
printf 'ratio:                  %.2f (target at most 5)\n' "$(echo "$table / $kyk" | bc -l)"
