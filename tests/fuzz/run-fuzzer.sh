#!/usr/bin/env bash
# run-fuzzer.sh FUZZER SEEDS RUNS
# Runs FUZZER for RUNS inputs (a fixed seed, so a run can be repeated) starting from the
# committed SEEDS. What it finds goes to a scratch corpus and crash files beside the binary,
# never into the seeds.
set -eu
fuzzer=$1 seeds=$2 runs=$3
out=$(dirname "$fuzzer")
work=$out/$(basename "$fuzzer").corpus
rm -rf "$work"
mkdir -p "$work"
exec "$fuzzer" -runs="$runs" -seed=1 -max_len=512 -max_total_time=120 -print_final_stats=1 \
    -artifact_prefix="$out/$(basename "$fuzzer")-" "$work" "$seeds"
