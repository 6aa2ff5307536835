#!/usr/bin/env bash
# The long run of the harnesses: each one for at least <runs> executions over
# a copy of its seed corpus, in <forks> processes (libFuzzer's fork mode).
# Prints one line a harness: executions, new corpus entries and crashes.
#   run-long.sh <fuzz build folder> <runs> <out folder> <name>:<forks> ...
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$1" runs="$2" out="$3"
shift 3
declare -A dicts=([equation]=equation.dict [rtf]=rtf.dict [settings]=settings.dict
                  [filter_import]=table-text.dict [table_paste]=table-text.dict)
for harness in "$@"; do
  name="${harness%%:*}" forks="${harness##*:}"
  work="$out/$name"
  mkdir -p "$work/corpus" "$work/crashes"
  options=()
  [ -n "${dicts[$name]:-}" ] && options+=(-dict="$here/dict/${dicts[$name]}")
  start=$(date +%s)
  QT_QPA_PLATFORM=offscreen "$build/bin/fuzz_$name" -fork="$forks" -runs="$runs" -timeout=20 -rss_limit_mb=3072 \
    -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 -artifact_prefix="$work/crashes/" "${options[@]}" \
    "$work/corpus" "$here/corpus/$name" > "$work/log.txt" 2>&1
  end=$(date +%s)
  executions=$(grep -oE "fuzzed for [0-9]+ iterations" "$work/log.txt" | grep -oE "[0-9]+" | tail -1)
  echo "$name: ${executions:-?} executions in $((end - start)) s, corpus $(ls "$work/corpus" | wc -l)," \
       "crashes $(ls "$work/crashes" | wc -l)"
done
