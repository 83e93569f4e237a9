#!/usr/bin/env bash
# The Python module's cost over the C++ sweep it calls, for one 41-angle
# inviscid polar (NACA 2412, 161 end points, vortex panel method, -4 to 16
# degrees by 0.5): the Google Benchmark BM_Polar41Naca2412 (bench/polar_bench.cpp)
# against `af.polar(alpha=...)` timed by Python's timeit on the same case, in
# alternating rounds within one run of this script, so that a busy moment of
# the shared machine falls on both. Prints the medians (CPU and wall time) and
# the overhead of the module, (module - C++) / C++.
#
#   tools/module_overhead.sh [BUILD_DIR] [ROUNDS] [REPETITIONS]
#   defaults: build/release  5  15
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/release}
rounds=${2:-5}
reps=${3:-15}
python=${TAVRIX_PYTHON:-/usr/bin/python3}

cmake --build "$build" -j2 --target tavrix_bench tavrix_python >/dev/null
work=$(mktemp -d "${TMPDIR:-/tmp}/module-overhead.XXXXXX")
trap 'rm -rf "$work"' EXIT

for round in $(seq "$rounds"); do
  "$build/tavrix_bench" --benchmark_filter='^BM_Polar41Naca2412$' \
    --benchmark_repetitions="$reps" --benchmark_min_time=0.2 \
    --benchmark_format=json >"$work/cpp_$round.json" 2>/dev/null
  PYTHONPATH="$build/python" "$python" - "$reps" >"$work/py_$round.json" <<'PY'
import json, sys, time, timeit
import numpy as np
import tavrix
reps = int(sys.argv[1])
af = tavrix.naca("2412", points=161)
alpha = np.arange(-4, 16.5, 0.5)
assert len(alpha) == 41
call = lambda: af.polar(alpha=alpha, method="vortex")
assert call()["converged"].all()
out = {}
for name, timer in (("cpu", time.process_time), ("wall", time.perf_counter)):
    t = timeit.Timer(call, timer=timer)
    number, _ = t.autorange()  # at least 0.2 s per repetition
    out[name] = [s / number for s in t.repeat(repeat=reps, number=number)]
print(json.dumps(out))
PY
done

"$python" - "$work" "$rounds" <<'PY'
import json, statistics, sys
work, rounds = sys.argv[1], int(sys.argv[2])
cpp = {"cpu": [], "wall": []}
py = {"cpu": [], "wall": []}
for r in range(1, rounds + 1):
    for b in json.load(open(f"{work}/cpp_{r}.json"))["benchmarks"]:
        if b.get("run_type") == "iteration":
            cpp["cpu"].append(b["cpu_time"] / 1000)  # ms -> s
            cpp["wall"].append(b["real_time"] / 1000)
    p = json.load(open(f"{work}/py_{r}.json"))
    for k in py:
        py[k] += p[k]
print(f"| 41-angle polar, NACA 2412, 161 points, vortex | C++ sweep (ms) | module (ms) | overhead |")
print("|---|---:|---:|---:|")
for k in ("cpu", "wall"):
    c, m = statistics.median(cpp[k]) * 1000, statistics.median(py[k]) * 1000
    print(f"| median {k} time, {len(cpp[k])} and {len(py[k])} runs | {c:.3f} | {m:.3f} | {100 * (m - c) / c:+.1f} % |")
PY
