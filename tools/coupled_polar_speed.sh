#!/usr/bin/env bash
# Wall time of a whole viscous polar, side by side in one run: xfoil's ASEQ
# from -10 to 10 degrees by 0.5 (41 angles, VISC at Re 3e6, Ncrit 9, ITER 200)
# against this program's coupled analysis over the same 41 angles
# (coupled_polar: the sweep outward from 0 with warm starts and retries), on
# xfoil's own 161 nodes of NACA 0012 and 4415 (tests/data/xfoil_viscous).
# xfoil sweeps -10 to 10 in one ASEQ, each angle from the last converged one,
# which is how it is used for a polar. Prints, per section, the median wall
# time of RUNS runs of each, the angles each converged, and the ratio.
#
#   tools/coupled_polar_speed.sh [BUILD_DIR] [RUNS] [METHOD]
#   defaults: build/release  3  vortex
#
# xfoil runs as tools/xfoil_crosscheck.sh runs it: with a display server
# started once beforehand and a preloaded shim that undoes the floating-point
# trap set-up of its Fortran run-time.
set -euo pipefail
. "$(dirname "$0")/xfoil_session.sh"
cd "$(dirname "$0")/.."

build=${1:-build/release}
runs=${2:-3}
method=${3:-vortex}
export LC_ALL=C
[ -x "$build/coupled_polar" ] || cmake --build "$build" --target coupled_polar >/dev/null
tool=$(readlink -f "$build/coupled_polar")

xfoil_setup coupled_polar_speed xfoil Xvfb python3
xfoil_display

# Wall time (seconds) of running "$@" once.
wall_time() {
  local t0 t1
  t0=$(date +%s.%N)
  "$@"
  t1=$(date +%s.%N)
  python3 -c "print($t1 - $t0)"
}
median() { sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

echo "| section | xfoil ASEQ (s) | converged | coupled_polar $method (s) | converged | xfoil / ours |"
echo "|---|---:|---:|---:|---:|---:|"
for s in 0012 4415; do
  dat=$(readlink -f "tests/data/xfoil_viscous/naca${s}_161.dat")
  printf 'PLOP\nG\n\nLOAD %s\n\nOPER\nVISC 3e6\nVPAR\nN 9\n\nITER 200\nPACC\n%s\n\nASEQ -10 10 0.5\nPACC\n\nQUIT\n' \
    "$dat" "$work/polar.txt" >"$work/xfoil.in"
  run_xfoil() {
    rm -f "$work/polar.txt"
    # (in the scratch folder: xfoil leaves a layer file in its working folder)
    (cd "$work" && DISPLAY=$display LD_PRELOAD=$work/nofpe.so xfoil <"$work/xfoil.in" >"$work/xfoil.log" 2>&1)
  }
  run_ours() { "$tool" "$dat" "$method" 3e6 9 -10 10 0.5 >"$work/ours.txt"; }
  # (the two in turn, so that both meet the same load of a shared machine)
  times_x=() times_o=()
  for _ in $(seq "$runs"); do
    times_x+=("$(wall_time run_xfoil)")
    times_o+=("$(wall_time run_ours)")
  done
  tx=$(printf '%s\n' "${times_x[@]}" | median)
  to=$(printf '%s\n' "${times_o[@]}" | median)
  nx=$(sed -n '/^ *------/,$p' "$work/polar.txt" | tail -n +2 | grep -c . || true)
  no=$(grep -c ' yes ' "$work/ours.txt" || true)
  python3 -c "print(f'| NACA $s | {$tx:.2f} | $nx of 41 | {$to:.2f} | $no of 41 | {$tx / $to:.3g} |')"
done
