#!/usr/bin/env bash
# Batch throughput and memory of kyklos-report: generates a set of profiles
# (3600 points each, 10 mm radius in micrometres with an eccentricity, a few
# undulations and noise), warms the file cache, then evaluates the set with
# the least-squares reference at 50 UPR against a 10 µm tolerance into CSV
# (the four references, RONp/RONv/RONq and the verdict in every row) with
# -j 1 and -j 2, and prints files per second and the peak resident memory of
# each run.
#
#   bench/batch_bench.sh [BUILD_DIR] [FILES] [SET_DIR]
#
# Defaults: build, 10000 files, /tmp/kyklos-batch-FILES. The set is made once
# and reused. Needs python3 and GNU time (/usr/bin/time).
set -euo pipefail

build=${1:-build}
count=${2:-10000}
set_dir=${3:-/tmp/kyklos-batch-$count}
report="$build/src/cli/kyklos-report"
[[ -x $report ]] || { echo "no $report: build the kyklos-report target first" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "needs GNU time (apt-get install time)" >&2; exit 1; }

if [[ ! -f $set_dir/.complete ]]; then
  mkdir -p "$set_dir"
  python3 - "$set_dir" "$count" <<'PY'
import math, random, sys
folder, count = sys.argv[1], int(sys.argv[2])
n = 3600
cosines = [math.cos(2 * math.pi * i / n) for i in range(n)]
sines = [math.sin(2 * math.pi * i / n) for i in range(n)]
rng = random.Random(12)
for f in range(count):
    a, b = rng.uniform(-5, 5), rng.uniform(-5, 5)
    lobes = rng.uniform(0.5, 3.0)
    values = (10000.0 + a * cosines[i] + b * sines[i] + lobes * math.cos(3 * 2 * math.pi * i / n)
              + rng.gauss(0.0, 0.3) for i in range(n))
    with open(f"{folder}/part{f:06d}.kyk", "w") as out:
        out.write(f"KYKLOS_DATA 1.0\nIDENTIFICATION: Part {f}\nDATE: 07 Dec 2026\n"
                  f"NUMBER_OF_POINTS: {n}\nPROFILE_UM:\n")
        out.write("\n".join(f"{v:.4f}" for v in values))
        out.write("\n")
PY
  touch "$set_dir/.complete"
fi

cat "$set_dir"/*.kyk > /dev/null  # warm the file cache

for jobs in 1 2; do
  log=$(mktemp)
  start=$(date +%s.%N)
  /usr/bin/time -v "$report" --format csv --reference ls --cutoff 50 --tolerance 10 -j "$jobs" --quiet "$set_dir" > /dev/null 2> "$log" || true
  end=$(date +%s.%N)
  rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$log")
  cpu=$(awk -F': ' '/User time|System time/ {t += $2} END {print t}' "$log")
  # The machine may be shared: CPU seconds say what the work costs, wall time what it gave.
  awk -v n="$count" -v s="$start" -v e="$end" -v j="$jobs" -v rss="$rss" -v cpu="$cpu" \
    'BEGIN { t = e - s; printf "-j %d: %d files in %.2f s = %.0f files/s (%.2f CPU s, %.0f files per CPU s), peak RSS %.1f MB\n", j, n, t, n / t, cpu, n / cpu, rss / 1024 }'
  rm -f "$log"
done
