#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it on the sample workspace.
set -euo pipefail
source "$(dirname "$0")/env.sh"
"$root/scripts/deps.sh"
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMARLOX_TESTS=OFF -DMARLOX_BENCH=OFF
cmake --build "$root/build/release" --target marlox -j "$jobs"
sample="$root/examples/Sample.mxf"
if [ -f "$sample" ]; then
  exec "$root/build/release/bin/marlox" "$sample" "$@"
else
  exec "$root/build/release/bin/marlox" "$@"
fi
