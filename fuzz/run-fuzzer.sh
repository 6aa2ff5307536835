#!/usr/bin/env bash
# Runs one harness over its seed corpus for a few seconds (the test command's
# smoke run). New inputs go to a work folder in the build tree; the seeds in
# the repository are only read.
#   run-fuzzer.sh <harness> <seconds> <work folder> <seed folder> [libFuzzer options...]
set -euo pipefail
harness="$1" seconds="$2" work="$3" seeds="$4"
shift 4
mkdir -p "$work"
export QT_QPA_PLATFORM=offscreen
mkdir -p "$work-crashes"
exec "$harness" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=3072 -print_final_stats=1 \
  -artifact_prefix="$work-crashes/" "$@" "$work" "$seeds"
