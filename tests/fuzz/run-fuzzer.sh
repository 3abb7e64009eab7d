#!/usr/bin/env bash
# Runs one fuzz target for a bounded time from its seed corpus, keeping what it
# learns in a work corpus outside the source tree.
# Usage: run-fuzzer.sh TARGET-PROGRAM SEED-DIR WORK-DIR SECONDS
set -euo pipefail
program=$1 seeds=$2 work=$3 seconds=$4
mkdir -p "$work/corpus" "$work/artifacts"
exec "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$work/corpus" "$seeds"
