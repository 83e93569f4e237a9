#!/usr/bin/env bash
# Reference polars of xfoil's coupled viscous analysis on its own sections:
# each NACA section paneled by xfoil with N nodes (PPAR, PANE), its trailing
# edge closed (GDES, TGAP 0 1), the nodes saved (SAVE) so that this program
# reads the very same contour, then VISC RE, VPAR N NCRIT, ITER 200 and an
# angle sequence (ASEQ) accumulated into a polar (PACC).
#
#   tools/xfoil_coupled_reference.sh OUT_DIR [SECTIONS] [RE] [ASEQ] [NODES] [NCRIT]
#   defaults: "0012 4415"  3e6  "-4 10 1"  161  9
# Writes OUT_DIR/naca<S>.dat (the nodes) and OUT_DIR/naca<S>_<RE>.pol (the polar).
#
# Needs xfoil and xvfb-run; the packaged xfoil dies with SIGFPE unless the trap
# set-up of its Fortran run-time is undone, which a preloaded shim does (see
# tools/xfoil_crosscheck.sh).
set -euo pipefail
out=${1:?usage: xfoil_coupled_reference.sh OUT_DIR [SECTIONS] [RE] [ASEQ] [NODES] [NCRIT]}
sections=${2:-"0012 4415"}
re=${3:-3e6}
aseq=${4:-"-4 10 1"}
nodes=${5:-161}
ncrit=${6:-9}
export LC_ALL=C
for tool in xfoil xvfb-run; do
  command -v "$tool" >/dev/null || { echo "xfoil_coupled_reference: $tool is not installed" >&2; exit 1; }
done
mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/xfoil-coupled.XXXXXX")
trap 'rm -rf "$work"' EXIT
printf 'void _gfortran_set_fpe(int traps) { (void)traps; }\n' >"$work/nofpe.c"
${CC:-cc} -shared -fPIC -o "$work/nofpe.so" "$work/nofpe.c"

for s in $sections; do
  dat="$out/naca$s.dat"
  pol="$out/naca${s}_$re.pol"
  rm -f "$dat" "$pol"
  printf 'PLOP\nG\n\nNACA %s\nPPAR\nN %s\n\n\nGDES\nTGAP 0 1\nEXEC\n\nPANE\nSAVE %s\nOPER\nVISC %s\nVPAR\nN %s\n\nITER 200\nPACC\n%s\n\nASEQ %s\nPACC\n\nQUIT\n' \
    "$s" "$nodes" "$dat" "$re" "$ncrit" "$pol" "$aseq" |
    (cd "$work" && LD_PRELOAD="$work/nofpe.so" timeout 900 xvfb-run -a xfoil) >"$work/naca$s.log" 2>&1 || {
      echo "xfoil failed on NACA $s; its output:" >&2; tail -40 "$work/naca$s.log" >&2; exit 1; }
  [ -s "$pol" ] || { echo "xfoil wrote no polar for NACA $s" >&2; exit 1; }
  echo "NACA $s: $(($(wc -l <"$dat") - 1)) nodes, $(sed -n '/^ *------/,$p' "$pol" | tail -n +2 | wc -l) converged angles"
done
