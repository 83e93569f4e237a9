#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tavrix-S. Without a display it
# says so and runs a headless example with tavrixs-batch instead.
set -euo pipefail
cd "$(dirname "$0")"
tools/ensure-packages.sh qt6-qpa-plugins

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"$(nproc)" --target tavrixs tavrixs-batch

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec build/release/tavrixs "$@"
fi

echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): running a headless example."
out=build/example
mkdir -p "$out"
echo "NACA 0012, 61 points, 5 degrees, vortex panel method; result files in $out/"
QT_QPA_PLATFORM=offscreen build/release/tavrixs-batch --naca0012 --points 61 --alpha 5 \
  --method vortex --dir "$out" --plot "$out/plots.png"
echo "Written: $out/TavrixS.txt, $out/TavrixS.xls, $out/plots.png"
