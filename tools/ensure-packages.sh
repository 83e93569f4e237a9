#!/usr/bin/env bash
# Installs the Debian packages this project needs that are not yet installed.
# Usage: tools/ensure-packages.sh [extra-package ...]
set -euo pipefail

packages=(cmake g++ make qt6-base-dev libgl-dev libgtest-dev libbenchmark-dev
          fonts-dejavu-core
          qt6-charts-dev qt6-svg-dev libqt6opengl6-dev
          python3-dev pybind11-dev python3-numpy python3-pytest libeigen3-dev "$@")
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
