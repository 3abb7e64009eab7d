#!/usr/bin/env bash
# Runs one fuzz target for a bounded time from its seed corpus, keeping what it
# learns in a work corpus outside the source tree. Its progress (a line for
# every input found) goes to a log; on a failure the log's end is shown, which
# holds the finding, with the input that fails in hex.
# Usage: run-fuzzer.sh TARGET-PROGRAM SEED-DIR WORK-DIR SECONDS
set -uo pipefail
program=$1 seeds=$2 work=$3 seconds=$4
mkdir -p "$work/corpus" "$work/artifacts"
rm -f "$work/artifacts/"*
"$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$work/corpus" "$seeds" \
    > "$work/log" 2>&1
status=$?
if [ "$status" -ne 0 ]; then
  tail -n 80 "$work/log"
  for artifact in "$work/artifacts/"*; do
    [ -f "$artifact" ] && { echo "$artifact:"; od -An -tx1 -v "$artifact" | head -n 64; }
  done
fi
exit "$status"
