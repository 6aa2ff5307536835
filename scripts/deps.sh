#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need,
# asking apt only for those that are missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-svg-dev libgl-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libmuparser-dev
  xvfb xauth openbox fonts-liberation2
  python3-olefile
  libgsl-dev libcminpack-dev
  python3-scipy python3-numpy
  shared-mime-info libglib2.0-bin xdg-utils
)
# More packages a caller needs (the fuzz build asks for clang this way).
read -r -a extra <<< "${MARLOX_EXTRA_PACKAGES:-}"
packages+=("${extra[@]}")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
