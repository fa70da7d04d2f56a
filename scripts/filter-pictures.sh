#!/usr/bin/env bash
# Draws the demonstration profile's report page under each filter kind into
# docs/filter-<kind>.png (small pictures for the README's Filters section).
#
#   scripts/filter-pictures.sh [kyklos-report]   (default: build/src/cli/kyklos-report)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
report="${1:-$root/build/src/cli/kyklos-report}"
# A relative path is meant from where the script was called, before the cd below.
[[ "$report" == /* ]] || report="$PWD/$report"
# The logos are looked for in the current folder.
cd "$root/resources"
for kind in gaussian gaussian-exact robust 2rc none; do
  "$report" --demo --filter "$kind" --size 800x500 -o "$root/docs/filter-$kind.png"
done
"$report" --demo --band 15:150 --size 800x500 -o "$root/docs/filter-band.png"
# Lossless recompression keeps the README light where optipng is installed.
if command -v optipng >/dev/null; then
  optipng -quiet -o2 -strip all "$root"/docs/filter-*.png
fi
ls -l "$root"/docs/filter-*.png
