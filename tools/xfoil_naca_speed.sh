#!/usr/bin/env bash
# xfoil's speed on a polar database, for comparison with
# tools/cases_speed.sh: the inviscid 41-angle polars (ASEQ -4 16 0.5) of the
# first N NACA four-digit sections of 6 to 18 % thickness, each made by
# xfoil's own NACA command (its default 160 panel nodes), in two ways:
#   - one xfoil session for all N sections, polars saved by PACC (the fastest
#     way to drive it, as a long-lived process fed on standard input);
#   - one xfoil process per section under its own xvfb-run (the usual way of
#     scripts, which keep a crash or a hang to one case), for the first M;
# and, in the same hyperfine run, `tavrixs-batch --cases` on the same N
# designations (the program's own sections, 161 end points, vortex panel
# method, the same 41 angles) with --jobs 1 and --jobs 2. Prints the medians,
# the sections per minute, the ratios to xfoil's session and the angles that
# converged. xfoil runs as tools/xfoil_crosscheck.sh runs it:
# with a display (Xvfb) and a preloaded shim that leaves the floating-point
# trap set-up of the Fortran run-time undone.
#
#   tools/xfoil_naca_speed.sh [SECTIONS] [PER_PROCESS_SECTIONS] [RUNS] [BUILD_DIR]
#   defaults: 1000  20  3  build/release
set -euo pipefail
. "$(dirname "$0")/xfoil_session.sh"
cd "$(dirname "$0")/.."

sections=${1:-1000}
single=${2:-20}
runs=${3:-3}
build=${4:-build/release}
export LC_ALL=C

xfoil_setup xfoil_naca_speed xfoil xvfb-run Xvfb hyperfine
cmake --build "$build" -j2 --target tavrixs-batch >/dev/null
batch=$(readlink -f "$build/tavrixs-batch")

python3 - "$sections" >"$work/names" <<'PY'
import sys
n = int(sys.argv[1])
names = [f"{m}{p}{t:02d}" for m in range(10) for p in ([0] if m == 0 else range(1, 10))
         for t in range(6, 19)]
print("\n".join(names[:n]))
PY

# One session: graphics off, then per section NACA, OPER, a polar file of
# its own, ASEQ, polar accumulation off, the stored polar deleted (xfoil
# keeps at most a dozen), back to the top level.
{
  printf 'PLOP\nG\n\n'
  while read -r name; do
    printf 'NACA %s\nOPER\nPACC\n%s\n\nASEQ -4 16 0.5\nPACC\nPDEL 1\n\n' "$name" "$work/pol/s_$name.txt"
  done <"$work/names"
  printf 'QUIT\n'
} >"$work/session.in"
xfoil_display
cat >"$work/session.sh" <<EOF
#!/bin/sh
rm -rf $work/pol && mkdir $work/pol
DISPLAY=$display LD_PRELOAD=$work/nofpe.so timeout 1200 xfoil <$work/session.in >$work/session.log 2>&1
EOF
# One process per section, each under xvfb-run as a script would start it.
cat >"$work/each.sh" <<EOF
#!/bin/sh
rm -rf $work/pol1 && mkdir $work/pol1
head -n $single $work/names | while read -r name; do
  printf 'PLOP\nG\n\nNACA %s\nOPER\nPACC\n%s\n\nASEQ -4 16 0.5\nPACC\n\nQUIT\n' "\$name" "$work/pol1/s_\$name.txt" |
    LD_PRELOAD=$work/nofpe.so timeout 120 xvfb-run -a xfoil >/dev/null 2>&1
done
EOF
chmod +x "$work"/*.sh

count_angles() {  # the rows below the dashed line of every polar file in $1
  local total=0 n
  for f in "$1"/s_*.txt; do
    n=$(sed -n '/^ *------/,$p' "$f" | tail -n +2 | grep -c . || true)
    total=$((total + n))
  done
  echo "$total"
}
"$work/session.sh" || { echo "the xfoil session failed; the end of its log:" >&2; tail -20 "$work/session.log" >&2; exit 1; }
"$work/each.sh"
echo "one session: $(ls "$work/pol" | wc -l) polars, $(count_angles "$work/pol") angles of $((41 * sections))"
echo "a process each: $(ls "$work/pol1" | wc -l) polars, $(count_angles "$work/pol1") angles of $((41 * single))"

{ echo "airfoil,points,method,alpha_from,alpha_to,alpha_step"
  sed 's/$/,161,vortex,-4,16,0.5/' "$work/names"; } >"$work/cases.csv"
"$batch" --cases "$work/cases.csv" --jobs 1 --out "$work/ours.csv"
echo "tavrixs-batch --cases: $(grep -c ',1,$' "$work/ours.csv") converged angles of $((41 * sections))"

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
hyperfine -N --warmup 1 --runs "$runs" --export-json "$work/t.json" \
  -n session "$work/session.sh" -n each "$work/each.sh" \
  -n jobs1 "$batch --cases $work/cases.csv --jobs 1 --out $work/ours.csv" \
  -n jobs2 "$batch --cases $work/cases.csv --jobs 2 --out $work/ours.csv" >/dev/null
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
python3 - "$work/t.json" "$sections" "$single" <<'PY'
import json, sys
r = {x["command"]: x for x in json.load(open(sys.argv[1]))["results"]}
n = {"session": int(sys.argv[2]), "each": int(sys.argv[3]), "jobs1": int(sys.argv[2]),
     "jobs2": int(sys.argv[2])}
rate = {k: 60 * n[k] / r[k]["median"] for k in n}
print("| inviscid 41-angle polars | sections | wall median (s) | sections/min | / xfoil session |")
print("|---|---:|---:|---:|---:|")
for k, label in (("session", "xfoil, one session"), ("each", "xfoil, a process (xvfb-run) each"),
                 ("jobs1", "tavrixs-batch --cases --jobs 1"),
                 ("jobs2", "tavrixs-batch --cases --jobs 2")):
    print(f"| {label} | {n[k]} | {r[k]['median']:.2f} | {rate[k]:.0f} | "
          f"{rate[k] / rate['session']:.2f} |")
PY
