#!/bin/bash
# A long fuzz campaign for one target: ten million runs or the given time, whichever comes
# first, from a copy of the kept corpus; then the inputs that add coverage are merged back.
#   tests/fuzz/campaign.sh TARGET [SECONDS] [BUILD]    e.g. tests/fuzz/campaign.sh ini 3600
# BUILD is the clang build scripts/test makes (build-fuzz). Figures (executions, coverage,
# peak memory, CPU time) are printed and kept in the work folder's log and time files.
set -euo pipefail
target=${1:?target, e.g. ini}
seconds=${2:-3600}
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "${3:-$root/build-fuzz}")
fuzzer="$build/bin/${target}_fuzz"
corpus="$root/tests/fuzz/$target/corpus"
[ -x "$fuzzer" ] || { echo "no $fuzzer: cmake --build $build --target fuzz_targets" >&2; exit 2; }
[ -d "$corpus" ] || { echo "no corpus $corpus" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/campaign-$target.XXXXXX")
mkdir "$work/corpus"
cp -r "$corpus"/. "$work/corpus/"
cd "$work" # crash and leak artifacts land here
echo "campaign of $target in $work"
status=0
TIMEFORMAT='wall %0R s, cpu %0U s user + %0S s system'
{ time ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    "$fuzzer" -runs=10000000 -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
    -print_final_stats=1 "$work/corpus" >"$work/log" 2>&1 || status=$?; } 2>"$work/time"
grep -E '^#[0-9]+[[:space:]]+(DONE|pulse|NEW|REDUCE)' "$work/log" | tail -n 1 || true
grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$work/log" || true
cat "$work/time"
if [ "$status" -ne 0 ]; then
    echo "the campaign stopped with $status: see $work/log and the artifacts beside it" >&2
    exit 1
fi
"$fuzzer" -merge=1 -rss_limit_mb=2048 -timeout=10 "$corpus" "$work/corpus" 2>&1 |
    grep 'MERGE-OUTER: .* new files' || true
