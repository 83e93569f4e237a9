#!/usr/bin/env bash
# Polar files saved by xfoil (Debian package) for the tests of the polar-file
# reader: NACA 2412 with 161 panel nodes, an inviscid polar at Mach 0.3
# (Re = 0 in its header) and a viscous one at Re 1e6, Mach 0.2 and Ncrit 5.
#
#   tools/xfoil_polar_samples.sh [OUT_DIR]     default: tests/data/xfoil_polars
#
# Like tools/xfoil_viscous_reference.sh it runs xfoil under xvfb-run with the
# floating-point traps of its Fortran run-time left unset.
set -euo pipefail
. "$(dirname "$0")/xfoil_session.sh"
cd "$(dirname "$0")/.."
out=${1:-tests/data/xfoil_polars}
export LC_ALL=C
mkdir -p "$out"
out=$(readlink -f "$out")
xfoil_setup xfoil_polar_samples xfoil xvfb-run

run() {  # name, OPER commands before the polar
  rm -f "$work/polar.txt"
  printf 'PLOP\nG\n\nNACA 2412\nPPAR\nN 161\n\n\nOPER\n%bPACC\npolar.txt\n\n%bPACC\n\nQUIT\n' "$2" "$3" |
    xfoil_run 300 >"$work/log.txt" 2>&1
  cp "$work/polar.txt" "$out/$1"
}
run naca2412_inviscid_m03.pol 'MACH 0.3\n' 'ASEQ 0 6 2\n'
run naca2412_re1e6_m02_ncrit5.pol 'VISC 1e6\nMACH 0.2\nVPAR\nN 5\n\nITER 200\n' 'ASEQ 0 6 1\n'
