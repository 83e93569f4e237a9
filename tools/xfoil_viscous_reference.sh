#!/usr/bin/env bash
# Reference data for the coupled viscous-inviscid analysis, made with xfoil
# (Debian package) on its own sections: NACA 0012, 2412 and 4415 with 161
# panel nodes, the trailing edge closed (GDES, TGAP 0 1), the coordinates
# saved as xfoil paneled them, and for each Reynolds number a viscous polar
# with Ncrit 9 and free transition, swept from 0 down to -4 degrees and, after
# a fresh start of the layer, from 0.5 up to 20 degrees by 0.5, each angle
# starting from the last converged one. An angle that does not converge has no
# row in xfoil's polar.
#
#   [SECTIONS="0006 ..."] tools/xfoil_viscous_reference.sh [OUT_DIR] [RE ...]
#   defaults: tests/data/xfoil_viscous  2e5 1e6 3e6, SECTIONS="0012 2412 4415"
#   (NACA 0006 at 3e6, for the thin edge: SECTIONS=0006 ... 3e6)
# Writes OUT_DIR/nacaXXXX_161.dat (the nodes, Selig order, as xfoil saved them)
# and OUT_DIR/nacaXXXX_reRE.pol (xfoil's polar file: alpha CL CD CDp CM
# Top_Xtr Bot_Xtr ...). With SPLIT=1 also the same polygon with the panels
# next to the trailing edge split (tools/split_edge_panels.py),
# OUT_DIR/nacaXXXX_161_split.dat, and xfoil's polar on it (loaded as it is,
# no PANE), OUT_DIR/nacaXXXX_split_reRE.pol.
#
# xfoil needs an X display (xvfb-run) and dies with SIGFPE unless the trap
# set-up of its Fortran run-time is undone by a preloaded shim (see
# tools/xfoil_crosscheck.sh).
set -euo pipefail
. "$(dirname "$0")/xfoil_session.sh"
cd "$(dirname "$0")/.."

out=${1:-tests/data/xfoil_viscous}
shift || true
res=("$@")
[ ${#res[@]} -gt 0 ] || res=(2e5 1e6 3e6)
export LC_ALL=C

mkdir -p "$out"
out=$(readlink -f "$out")
xfoil_setup xfoil_viscous_reference xfoil xvfb-run

# xfoil's viscous polar of the section that the commands SETUP (after PLOP,
# G) give it, from 0 down to -4 degrees and, after a fresh start, from 0.5 up
# to 20 by 0.5, to TARGET; LABEL names it in the messages.
polar_of() {
  local setup=$1 label=$2 target=$3 polar="$work/polar.txt"
  rm -f "$polar"
  {
    printf 'PLOP\nG\n\n%b' "$setup"
    printf 'OPER\nVISC %s\nVPAR\nN 9\n\nITER 200\nPACC\n%s\n\n' "$re" "$polar"
    printf 'ASEQ 0 -4 -0.5\nINIT\nASEQ 0.5 20 0.5\nPACC\n\nQUIT\n'
  } | xfoil_run 900 \
      >"$work/log.txt" 2>&1 || { echo "xfoil failed on $label, Re $re:" >&2;
                                tail -20 "$work/log.txt" >&2; exit 1; }
  cp "$polar" "$target"
  echo "$label, Re $re: $(sed -n '/^ *------/,$p' "$polar" | tail -n +2 | wc -l) converged angles"
}

for naca in ${SECTIONS:-0012 2412 4415}; do
  for re in "${res[@]}"; do
    coords="$out/naca${naca}_161.dat"
    rm -f "$work/section.dat"
    polar_of "NACA $naca\nPPAR\nN 161\n\n\nGDES\nTGAP 0 1\nX\n\nPANE\nSAVE $work/section.dat\n" \
      "NACA $naca" "$out/naca${naca}_re${re}.pol"
    cp "$work/section.dat" "$coords"
    [ "${SPLIT:-0}" = 1 ] || continue
    split="$out/naca${naca}_161_split.dat"
    python3 tools/split_edge_panels.py "$coords" "$split"
    cp "$split" "$work/split.dat"
    polar_of "LOAD split.dat\n" "NACA $naca split" "$out/naca${naca}_split_re${re}.pol"
  done
done
