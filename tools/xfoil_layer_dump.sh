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
cd "$(dirname "$0")/.."
[ $# -ge 3 ] || { echo "usage: $0 SECTION RE ALPHA [OUT]" >&2; exit 2; }
section=$1 re=$2 alpha=$3
out=${4:-tests/data/xfoil_viscous/naca${section}_re${re}_a${alpha}.dump}
export LC_ALL=C
for tool in xfoil xvfb-run; do
  command -v "$tool" >/dev/null || { echo "xfoil_layer_dump: $tool is not installed" >&2; exit 1; }
done
dat=tests/data/xfoil_viscous/naca${section}_161.dat
[ -f "$dat" ] || { echo "xfoil_layer_dump: no $dat (tools/xfoil_viscous_reference.sh makes it)" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/xfoil-dump.XXXXXX")
trap 'rm -rf "$work"' EXIT
printf 'void _gfortran_set_fpe(int traps) { (void)traps; }\n' >"$work/nofpe.c"
${CC:-cc} -shared -fPIC -o "$work/nofpe.so" "$work/nofpe.c"
cp "$dat" "$work/section.dat"
printf 'PLOP\nG\n\nLOAD section.dat\n\nOPER\nVISC %s\nVPAR\nN 9\n\nITER 200\nALFA %s\nDUMP layer.txt\n\nQUIT\n' \
  "$re" "$alpha" | (cd "$work" && LD_PRELOAD="$work/nofpe.so" timeout 300 xvfb-run -a xfoil) \
  >"$work/log.txt" 2>&1 || { echo "xfoil failed:" >&2; tail -20 "$work/log.txt" >&2; exit 1; }
[ -s "$work/layer.txt" ] || { echo "xfoil wrote no layer (not converged?)" >&2; tail -20 "$work/log.txt" >&2; exit 1; }
mkdir -p "$(dirname "$out")"
cp "$work/layer.txt" "$out"
echo "$out: $(grep -vc '^#' "$out") stations; $(grep -i 'transition at' "$work/log.txt" | tail -2 | tr -s ' ' | tr '\n' ';')"
