#!/usr/bin/env bash
# Runs a command while every processor is kept busy at idle priority (SCHED_IDLE: the spinners
# get a processor only when nothing else wants it). On a virtual machine an idle vCPU halts,
# and waking it for an answer adds one to three milliseconds to about one exchange in ten:
# the host's latency, not the program's, and on a quiet machine it is the largest part of the
# paced benchmarks' overhead. The program's own processor share is counted per process and is
# not changed by the spinners.
# Usage: bench/busy-cpus.sh COMMAND [ARGS...]
set -euo pipefail
pids=()
for _ in $(seq "$(nproc)"); do
    chrt -i 0 sh -c 'while :; do :; done' &
    pids+=($!)
done
trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT
"$@"
