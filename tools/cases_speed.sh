#!/usr/bin/env bash
# Speed of case lists: `tavrixs-batch --cases` over the inviscid 41-angle
# polars (-4 to 16 degrees by 0.5, 161 end points, vortex panel method) of
# the first N NACA four-digit sections of 6 to 18 % thickness, with --jobs 1
# and --jobs 2, timed by hyperfine in one invocation (alternating the two in
# ROUNDS rounds, so that a busy moment of the shared machine falls on both).
# Prints the medians, the cases per second and per minute, and the ratio of
# --jobs 2 to --jobs 1. Also checks that both wrote the same bytes. As a
# control, the same hyperfine run times two --jobs 1 runs side by side (two
# processes): 2 x T(--jobs 1) / T(the pair) is the parallelism the machine
# gave at the time, the most --jobs 2 can reach.
#
#   tools/cases_speed.sh [BUILD_DIR] [SECTIONS] [RUNS] [ROUNDS]
#   defaults: build/release  1000  5  2
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/release}
sections=${2:-1000}
runs=${3:-5}
rounds=${4:-2}
command -v hyperfine >/dev/null || tools/ensure-packages.sh hyperfine >&2
command -v hyperfine >/dev/null || { echo "cases_speed: hyperfine is not installed" >&2; exit 1; }
cmake --build "$build" -j2 --target tavrixs-batch >/dev/null
batch=$(readlink -f "$build/tavrixs-batch")

work=$(mktemp -d "${TMPDIR:-/tmp}/cases-speed.XXXXXX")
trap 'rm -rf "$work"' EXIT
python3 - "$sections" >"$work/cases.csv" <<'PY'
import sys
n = int(sys.argv[1])
names = [f"{m}{p}{t:02d}" for m in range(10) for p in ([0] if m == 0 else range(1, 10))
         for t in range(6, 19)]
print("airfoil,points,method,alpha_from,alpha_to,alpha_step")
for name in names[:n]:
    print(f"{name},161,vortex,-4,16,0.5")
PY
[ "$(($(wc -l <"$work/cases.csv") - 1))" -eq "$sections" ] ||
  { echo "cases_speed: there are fewer than $sections sections" >&2; exit 1; }

"$batch" --cases "$work/cases.csv" --jobs 1 --out "$work/r1.csv"
"$batch" --cases "$work/cases.csv" --jobs 2 --out "$work/r2.csv"
cmp "$work/r1.csv" "$work/r2.csv"
rows=$(($(wc -l <"$work/r1.csv") - 1))
converged=$(grep -c ',1,$' "$work/r1.csv" || true)
echo "$sections cases, $rows rows, $converged converged; --jobs 1 and --jobs 2 wrote the same bytes"

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '#!/bin/sh\n%s &\n%s\nwait\n' \
  "$batch --cases $work/cases.csv --jobs 1 --out $work/p1.csv" \
  "$batch --cases $work/cases.csv --jobs 1 --out $work/p2.csv" >"$work/pair.sh"
chmod +x "$work/pair.sh"
for round in $(seq "$rounds"); do
  hyperfine -N --warmup 1 --runs "$runs" --export-json "$work/t$round.json" \
    -n jobs1 "$batch --cases $work/cases.csv --jobs 1 --out $work/r1.csv" \
    -n jobs2 "$batch --cases $work/cases.csv --jobs 2 --out $work/r2.csv" \
    -n pair "$work/pair.sh" >/dev/null
done

echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
python3 - "$work" "$rounds" "$sections" <<'PY'
import json, statistics, sys
work, rounds, n = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
times = {"jobs1": [], "jobs2": [], "pair": []}
cpu = {"jobs1": [], "jobs2": [], "pair": []}
for r in range(1, rounds + 1):
    for x in json.load(open(f"{work}/t{r}.json"))["results"]:
        times[x["command"]] += x["times"]
        cpu[x["command"]] += [x["user"] + x["system"]]  # means of a round
print(f"| {n} inviscid 41-angle polars | wall median (s) | runs | cases/s | cases/min | CPU s (user + sys) |")
print("|---|---:|---:|---:|---:|---:|")
med = {k: statistics.median(v) for k, v in times.items()}
for k in ("jobs1", "jobs2"):
    print(f"| --jobs {k[-1]} | {med[k]:.2f} | {len(times[k])} | {n / med[k]:.0f} | "
          f"{60 * n / med[k]:.0f} | {statistics.mean(cpu[k]):.2f} |")
print(f"| two --jobs 1 side by side (2 x {n}) | {med['pair']:.2f} | {len(times['pair'])} | "
      f"{2 * n / med['pair']:.0f} | {120 * n / med['pair']:.0f} | {statistics.mean(cpu['pair']):.2f} |")
print(f"\n--jobs 2 / --jobs 1 (cases per second): {med['jobs1'] / med['jobs2']:.2f}")
print(f"two processes / one (cases per second), what the machine gave: "
      f"{2 * med['jobs1'] / med['pair']:.2f}")
PY
