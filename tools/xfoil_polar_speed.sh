#!/usr/bin/env bash
# Wall time of a whole inviscid polar, side by side in one run: xfoil's ASEQ
# over 41 angles in one process against `tavrixs-batch --sweep` over the same
# 41 angles (0 to 10 degrees by 0.25) on exactly the same NACA 0012 nodes (the
# program's own contour, tools/dump_contour, in xfoil's order and the Selig
# layout, loaded by xfoil as panel nodes without repanelling and by
# tavrixs-batch with --file). Both are timed with hyperfine, interleaved in the
# same invocation; prints both medians and the ratio.
#
#   tools/xfoil_polar_speed.sh [BUILD_DIR] [POINTS] [METHOD] [RUNS]
#   defaults: build/release  161  vortex  30
#
# xfoil runs as tools/xfoil_crosscheck.sh runs it: under xvfb-run (it opens its
# X display even when driven from standard input), with a preloaded shim that
# leaves the floating-point trap set-up of the Fortran run-time undone (the
# Debian build dies with SIGFPE in its inviscid solve otherwise). The xvfb
# start-up is part of xfoil's time, as it is of every scripted xfoil run; the
# script also times xfoil with the display server already running, which is
# the fairer figure, and reports the ratio against both.
set -euo pipefail
. "$(dirname "$0")/xfoil_session.sh"
cd "$(dirname "$0")/.."

build=${1:-build/release}
np=${2:-161}
method=${3:-vortex}
runs=${4:-30}
export LC_ALL=C QT_QPA_PLATFORM=offscreen

if [ ! -x "$build/dump_contour" ] || [ ! -x "$build/tavrixs-batch" ]; then
  cmake -S . -B "$build" >/dev/null
  cmake --build "$build" --target dump_contour tavrixs-batch >/dev/null
fi
batch=$(readlink -f "$build/tavrixs-batch")

xfoil_setup xfoil_polar_speed xfoil xvfb-run Xvfb hyperfine

coords=$work/naca0012_$np.dat
{ echo "NACA 0012 $np points (Tavrix-S generator)"; "$build/dump_contour" "$np" | tac; } >"$coords"

# xfoil session: graphics off, the points as panel nodes, 41 angles by ASEQ
# into a polar file (as tavrixs-batch writes its results, and so that the
# angles can be counted).
printf 'PLOP\nG\n\nLOAD %s\nOPER\nPACC\n%s\n\nASEQ 0 10 0.25\nPACC\n\nQUIT\n' \
  "$coords" "$work/polar.txt" >"$work/xfoil.in"
cat >"$work/xfoil_xvfb.sh" <<EOF
#!/bin/sh
rm -f $work/polar.txt
LD_PRELOAD=$work/nofpe.so xvfb-run -a xfoil <$work/xfoil.in >$work/xfoil.log 2>&1
EOF
# The same with a display server started once beforehand.
xfoil_display
cat >"$work/xfoil_display.sh" <<EOF
#!/bin/sh
rm -f $work/polar.txt
DISPLAY=$display LD_PRELOAD=$work/nofpe.so xfoil <$work/xfoil.in >$work/xfoil_display.log 2>&1
EOF
cat >"$work/tavrix.sh" <<EOF
#!/bin/sh
cd $work && exec $batch --file $coords --sweep 0:10:0.25 --method $method >$work/tavrix.out 2>&1
EOF
chmod +x "$work"/*.sh

# One checked run of each: xfoil must take the nodes as they are and converge
# on all 41 angles, tavrixs-batch must print 41 angles.
"$work/xfoil_xvfb.sh" || { echo "xfoil failed; its output:" >&2; cat "$work/xfoil.log" >&2; exit 1; }
grep -q "nodes set from buffer airfoil nodes ( *$np )" "$work/xfoil.log" ||
  { echo "xfoil did not take the $np points as panel nodes" >&2; exit 1; }
xfoil_angles=$(sed -n '/^ *------/,$p' "$work/polar.txt" | tail -n +2 | grep -c . || true)
"$work/xfoil_display.sh" || { echo "xfoil (display running) failed" >&2; exit 1; }
"$work/tavrix.sh" || { echo "tavrixs-batch failed:" >&2; cat "$work/tavrix.out" >&2; exit 1; }
ours_angles=$(grep -c 'alpha = ' "$work/tavrix.out" || true)
echo "angles solved: xfoil $xfoil_angles, tavrixs-batch $ours_angles ($method, $np nodes)"

hyperfine -N --warmup 3 --runs "$runs" --export-json "$work/times.json" \
  -n xfoil-xvfb-run "$work/xfoil_xvfb.sh" \
  -n xfoil-display-running "$work/xfoil_display.sh" \
  -n tavrixs-batch-sweep "$work/tavrix.sh" >"$work/hyperfine.txt"

python3 - "$work/times.json" <<'EOF'
import json, sys
r = {x["command"]: x for x in json.load(open(sys.argv[1]))["results"]}
med = {k: v["median"] * 1000 for k, v in r.items()}
ours = med["tavrixs-batch-sweep"]
print("| 41-angle inviscid polar | wall median (ms) | fastest (ms) | xfoil / tavrixs-batch |")
print("|---|---:|---:|---:|")
for k in ("xfoil-xvfb-run", "xfoil-display-running", "tavrixs-batch-sweep"):
    print(f"| {k} | {med[k]:.1f} | {r[k]['min'] * 1000:.1f} | {med[k] / ours:.1f} |")
EOF
