#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test.
set -euo pipefail
source "$(dirname "$0")/env.sh"
"$root/scripts/deps.sh"
build="$root/build/test"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMARLOX_SANITIZE=ON \
  -DMARLOX_TESTS=ON -DMARLOX_BENCH=ON
cmake --build "$build" -j "$jobs"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$jobs" "$@"

# With MARLOX_FUZZ=1 the libFuzzer harnesses are built with clang as well and
# each runs for a few seconds over its seed corpus.
if [ "${MARLOX_FUZZ:-0}" = 1 ]; then
  MARLOX_EXTRA_PACKAGES="clang libclang-rt-14-dev" "$root/scripts/deps.sh"
  fuzz="$root/build/fuzz"
  CC=clang CXX=clang++ cmake -S "$root" -B "$fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARLOX_SANITIZE=ON \
    -DMARLOX_FUZZ=ON -DMARLOX_TESTS=OFF -DMARLOX_BENCH=OFF
  cmake --build "$fuzz" -j "$jobs"
  ctest --test-dir "$fuzz" --output-on-failure -j "$jobs"
fi
