#!/usr/bin/env bash
# Process start to the main window shown with both grids filled, offscreen; and the peak
# resident memory of that run. Usage: bench/startup.sh BUILD_DIR [RUNS]
set -euo pipefail
bin="$1/bin/quorve-plu"
runs="${2:-20}"
export QT_QPA_PLATFORM=offscreen QPLU_EXIT_WHEN_SHOWN=1
for _ in $(seq 3); do "$bin" >/dev/null 2>&1; done # warm the page cache
best=999999; total=0
for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "$bin" >/dev/null 2>&1
    ms=$(( ($(date +%s%N) - start) / 1000000 ))
    total=$((total + ms)); (( ms < best )) && best=$ms
done
echo "start to shown: mean $((total / runs)) ms, best $best ms over $runs runs"
/usr/bin/time -f "peak resident memory: %M KiB" "$bin" 2>&1 >/dev/null | tail -1
