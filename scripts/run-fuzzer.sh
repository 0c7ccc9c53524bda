#!/usr/bin/env bash
# run-fuzzer.sh FUZZER SEEDS_DIR WORK_DIR
# Runs one libFuzzer target for OMBRIX_FUZZ_SECONDS seconds (default 20),
# starting from the committed seeds; new inputs go to WORK_DIR so the
# repository stays clean. A crash leaves its input in WORK_DIR/crashes and
# fails the run.
set -euo pipefail
fuzzer=$1 seeds=$2 work=$3
seconds=${OMBRIX_FUZZ_SECONDS:-20}
mkdir -p "$work/corpus" "$work/crashes" "$seeds"
exec "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512 \
  -print_final_stats=1 -artifact_prefix="$work/crashes/" "$work/corpus" "$seeds"
