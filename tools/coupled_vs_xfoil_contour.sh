#!/usr/bin/env bash
# The coupled viscous-inviscid analysis against xfoil on any contour, both on
# the very same points: xfoil loads the file as it is (LOAD, no PANE; VISC
# RE, VPAR N NCRIT, ITER 200, ASEQ) and coupled_polar (Soinne-Laine unless
# METHOD says otherwise) sweeps the same angles. Prints one line per angle
# (this program's CL, CMc/4, CD, upper and lower transition; xfoil's in
# brackets or "-" where it did not converge) and a summary line: points
# converged in each, the median and largest |dCL| in % and |dCD| in % over
# the points both converged. A row of xfoil's polar with CD = 0 counts as
# not converged.
#
#   tools/coupled_vs_xfoil_contour.sh BUILD CONTOUR RE FROM TO [STEP] [NCRIT] [METHOD]
#   e.g. build/release/tavrixs-batch --naca 0008 --points 161 --save-contour n0008.dat
#        tools/coupled_vs_xfoil_contour.sh build/release n0008.dat 3e6 -2 8
#
# xfoil needs an X display (xvfb-run) and dies with SIGFPE unless the trap
# set-up of its Fortran run-time is undone by a preloaded shim (see
# tools/xfoil_crosscheck.sh).
set -euo pipefail
. "$(dirname "$0")/xfoil_session.sh"
[ $# -ge 5 ] || { echo "usage: $0 BUILD CONTOUR RE FROM TO [STEP] [NCRIT] [METHOD]" >&2; exit 2; }
build=$1 contour=$2 re=$3 from=$4 to=$5 step=${6:-1} ncrit=${7:-9} method=${8:-soinne}
export LC_ALL=C
xfoil_setup coupled_vs_xfoil_contour xfoil xvfb-run "$build/coupled_polar"
cp "$contour" "$work/section.dat"

# xfoil: outward from 0 on both sides, as the program sweeps.
printf 'PLOP\nG F\n\nLOAD section.dat\nOPER\nVISC %s\nVPAR\nN %s\n\nITER 200\nPACC\npolar.txt\n\nASEQ 0 %s %s\nINIT\nASEQ -%s %s -%s\nPACC\n\nQUIT\n' \
  "$re" "$ncrit" "$to" "$step" "$step" "$from" "$step" |
  xfoil_run 900 >"$work/log.txt" 2>&1 || true
sed -n '/^ *------/,$p' "$work/polar.txt" 2>/dev/null | tail -n +2 | awk 'NF >= 7' >"$work/xfoil.txt" || true

"$build/coupled_polar" "$contour" "$method" "$re" "$ncrit" "$from" "$to" "$step" >"$work/ours.txt"

awk '
  function absval(v) { return v < 0 ? -v : v }
  # (a row of the xfoil polar with no drag is no solution: xfoil prints such rows
  # after a breakdown, NACA 0006 at 8 degrees and Re 1e6 for one)
  FNR == NR && $3 <= 0 { bogus++; next }
  FNR == NR { k = sprintf("%.3f", $1); xa[k] = 1; xcl[k] = $2; xcd[k] = $3; xcm[k] = $5; xtu[k] = $6; xtl[k] = $7; next }
  /^#/ { print; next }
  /^alpha/ { print "alpha converged CL (xfoil) CMc/4 (xfoil) CD (xfoil) xtr_upper (xfoil) xtr_lower (xfoil)"; next }
  {
    k = sprintf("%.3f", $1); total++; inx = (k in xa); if (inx) nx++
    if ($2 == "yes") n++
    if ($2 == "yes" && inx) {
      printf "%s yes %s (%s) %s (%s) %s (%s) %s (%s) %s (%s)\n", $1, $3, xcl[k], $4, xcm[k], $5, xcd[k], $8, xtu[k], $9, xtl[k]
      if (absval(xcl[k]) > 0.05) { dcl[++m] = absval(100 * ($3 - xcl[k]) / xcl[k]) }
      dcd[++q] = absval(100 * ($5 - xcd[k]) / xcd[k])
    } else if ($2 == "yes") {
      printf "%s yes %s (-) %s (-) %s (-) %s (-) %s (-)\n", $1, $3, $4, $5, $8, $9
    } else {
      printf "%s no (%s) - (%s) - (%s) - (%s) - (%s)\n", $1, inx ? xcl[k] : "-", inx ? xcm[k] : "-", inx ? xcd[k] : "-", inx ? xtu[k] : "-", inx ? xtl[k] : "-"
    }
  }
  function median(a, c,   i, j, t) {
    if (c == 0) return "-"
    for (i = 1; i <= c; i++) for (j = i + 1; j <= c; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
    return sprintf("%.1f", (c % 2) ? a[(c + 1) / 2] : (a[c / 2] + a[c / 2 + 1]) / 2)
  }
  function largest(a, c,   i, w) { w = 0; for (i = 1; i <= c; i++) if (a[i] > w) w = a[i]; return c ? sprintf("%.1f", w) : "-" }
  END {
    printf "converged: %d of %d here, %d in xfoil%s; |dCL| %% (|CL| > 0.05) median %s largest %s; |dCD| %% median %s largest %s\n",
      n, total, nx, bogus ? sprintf(" (and %d row%s with CD = 0 left out)", bogus, bogus > 1 ? "s" : "") : "", median(dcl, m), largest(dcl, m), median(dcd, q), largest(dcd, q)
  }' "$work/xfoil.txt" "$work/ours.txt"
