#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tavrix-S. Without a display it
# says so and runs a headless example with tavrixs-batch instead.
set -euo pipefail
cd "$(dirname "$0")"
tools/ensure-packages.sh qt6-qpa-plugins

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"$(nproc)" --target tavrixs tavrixs-batch
# The Python module, when Python's development files and pybind11 were found.
if cmake --build build/release --target help | grep tavrix_python >/dev/null; then
  cmake --build build/release -j"$(nproc)" --target tavrix_python
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec build/release/tavrixs "$@"
fi

echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): running a headless example."
out=build/example
mkdir -p "$out"
echo "NACA 0012, 61 points, 5 degrees, vortex panel method; result files in $out/"
QT_QPA_PLATFORM=offscreen build/release/tavrixs-batch --naca0012 --points 61 --alpha 5 \
  --method vortex --dir "$out" --plot "$out/plots.png" --cp-plot "$out/pressure.png"
echo "Written: $out/TavrixS.txt (the report), $out/TavrixS.xls (x/c and Cu per panel),"
echo "         $out/plots.png (the main window's two plots, bare as the window draws them),"
echo "         $out/pressure.png (the pressure distribution with axes, labels and legend)"
