#!/usr/bin/env bash
# The boundary layer xfoil computes on one of the reference sections, station
# by station, for checking this program's closures and its march: xfoil's
# DUMP file (s, x, y, Ue/Vinf, delta*, theta, Cf, H, H*, P, m, K) of a viscous
# point with Ncrit 9 on the 161 nodes of tests/data/xfoil_viscous.
#
#   tools/xfoil_layer_dump.sh SECTION RE ALPHA [OUT]
#   e.g. tools/xfoil_layer_dump.sh 0012 3e6 0 tests/data/xfoil_viscous/naca0012_re3e6_a0.dump
#
# xfoil needs an X display (xvfb-run) and dies with SIGFPE unless the trap
# set-up of its Fortran run-time is undone by a preloaded shim (see
# tools/xfoil_crosscheck.sh).
set -euo pipefail
. "$(dirname "$0")/xfoil_session.sh"
cd "$(dirname "$0")/.."
[ $# -ge 3 ] || { echo "usage: $0 SECTION RE ALPHA [OUT]" >&2; exit 2; }
section=$1 re=$2 alpha=$3
out=${4:-tests/data/xfoil_viscous/naca${section}_re${re}_a${alpha}.dump}
export LC_ALL=C
dat=tests/data/xfoil_viscous/naca${section}_161.dat
[ -f "$dat" ] || { echo "xfoil_layer_dump: no $dat (tools/xfoil_viscous_reference.sh makes it)" >&2; exit 1; }
xfoil_setup xfoil_layer_dump xfoil xvfb-run
cp "$dat" "$work/section.dat"
printf 'PLOP\nG\n\nLOAD section.dat\n\nOPER\nVISC %s\nVPAR\nN 9\n\nITER 200\nALFA %s\nDUMP layer.txt\n\nQUIT\n' \
  "$re" "$alpha" | xfoil_run 300 \
  >"$work/log.txt" 2>&1 || { echo "xfoil failed:" >&2; tail -20 "$work/log.txt" >&2; exit 1; }
[ -s "$work/layer.txt" ] || { echo "xfoil wrote no layer (not converged?)" >&2; tail -20 "$work/log.txt" >&2; exit 1; }
mkdir -p "$(dirname "$out")"
cp "$work/layer.txt" "$out"
echo "$out: $(grep -vc '^#' "$out") stations; $(grep -i 'transition at' "$work/log.txt" | tail -2 | tr -s ' ' | tr '\n' ';')"
