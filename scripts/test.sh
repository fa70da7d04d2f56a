#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and runs
# every test (core, widgets headless, command line, fuzz corpus replay).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset ci
cmake --build --preset ci -j "$(nproc)"
ctest --preset ci -j "$(nproc)"
