#!/bin/sh
# Makes the desktop know Marlox's files for the current user: the desktop
# entries, the file types (.mxf .mxt .mxc .mxl .mxr .mxd .mxe) and their icons,
# below $XDG_DATA_HOME (~/.local/share). Run once after building or installing;
# the program itself never rewrites them.
#   scripts/install-desktop.sh [path/to/marlox]
set -e
root="$(cd "$(dirname "$0")/.." && pwd)"
program="${1:-$root/build/release/bin/marlox}"
if [ ! -x "$program" ]; then
  echo "No program at $program: build it first (scripts/run.sh) or name it." >&2
  exit 1
fi
exec "$program" --install-desktop
