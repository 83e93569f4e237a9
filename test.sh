#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: once in the
# optimised build, once under AddressSanitizer and UndefinedBehaviorSanitizer;
# in between, builds the batch front end without Qt and checks it. The Python
# module's tests run in the optimised build, after its C++ tests.
set -euo pipefail
cd "$(dirname "$0")"
# python3-distributed: the Dask example and its test.
tools/ensure-packages.sh python3-distributed
# The Debian interpreter, where python3-numpy and python3-pytest are installed.
python=${TAVRIX_PYTHON:-/usr/bin/python3}

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== Release build and tests"
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTAVRIX_BUILD_PYTHON=ON \
      -DPython3_EXECUTABLE="$python" >/dev/null
cmake --build build/release -j"$jobs"
(cd build/release && ctest --output-on-failure -j"$jobs")

echo "== Python module tests"
if ! ls build/release/python/tavrix*.so >/dev/null 2>&1; then
  echo "the Python module tavrix was not built (see the CMake notice)" >&2
  exit 1
fi
PYTHONPATH=build/release/python "$python" -m pytest -q -p no:cacheprovider tests/python

echo "== Computing core and batch front end without Qt"
cmake -S . -B build/noqt -DCMAKE_BUILD_TYPE=Release -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON \
      -DTAVRIX_BUILD_GUI=OFF -DTAVRIX_BUILD_TESTS=OFF -DTAVRIX_BUILD_BENCH=OFF \
      -DTAVRIX_BUILD_PYTHON=OFF >/dev/null
cmake --build build/noqt -j"$jobs" --target tavrixs-batch
# The same press gives the same bytes as the full build; a picture is refused
# with the reason and exit status 1.
root=$PWD check=$(mktemp -d)
trap 'rm -rf "$check"' EXIT
mkdir "$check/full" "$check/noqt"
press=(--naca0012 --points 61 --alpha 5 --method vortex)
(cd "$check/full" && "$root/build/release/tavrixs-batch" "${press[@]}" >stdout)
status=0
(cd "$check/noqt" && "$root/build/noqt/tavrixs-batch" "${press[@]}" --plot p.png \
   >stdout 2>stderr) || status=$?
for f in stdout TavrixS.txt TavrixS.xls; do
  cmp "$check/full/$f" "$check/noqt/$f"
done
if [ "$status" -ne 1 ] || ! grep -q "pictures are not available in this build" "$check/noqt/stderr"; then
  echo "tavrixs-batch without Qt: --plot gave status $status and:" >&2
  cat "$check/noqt/stderr" >&2
  exit 1
fi
echo "tavrixs-batch without Qt: same results, pictures refused as they should be"

echo "== Sanitizer build and tests (ASan + UBSan)"
# The Python module is left out: the interpreter does not load ASan's
# runtime without preloading it.
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DTAVRIX_SANITIZE=ON \
      -DTAVRIX_BUILD_BENCH=OFF -DTAVRIX_BUILD_PYTHON=OFF >/dev/null
cmake --build build/sanitize -j"$jobs"
(cd build/sanitize && UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
   ctest --output-on-failure -j"$jobs")
