#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: once in the
# optimised build, once under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
tools/ensure-packages.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== Release build and tests"
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"$jobs"
(cd build/release && ctest --output-on-failure -j"$jobs")

echo "== Sanitizer build and tests (ASan + UBSan)"
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DTAVRIX_SANITIZE=ON \
      -DTAVRIX_BUILD_BENCH=OFF >/dev/null
cmake --build build/sanitize -j"$jobs"
(cd build/sanitize && UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
   ctest --output-on-failure -j"$jobs")
