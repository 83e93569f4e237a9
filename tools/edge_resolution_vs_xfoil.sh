#!/usr/bin/env bash
# How the coupled lift of both programs depends on the panelling of the
# trailing edge, the polygon kept: xfoil and this program on a contour as it
# is, and on the same contour with the panels next to the edge split
# (tools/split_edge_panels.py: new points on the panels themselves). One
# line per angle:
#
#   alpha  xfoil: nodes split (change %)  here: nodes split (change %)
#          here against xfoil: on the nodes, split (%)
#
# and a summary: the median and largest |dCL| (where |CL| > 0.05) of this
# program against xfoil on the nodes and on the split contour, and how far
# each program's own lift moved with the split (median). A "-" is an angle
# that did not converge.
#
#   tools/edge_resolution_vs_xfoil.sh BUILD CONTOUR RE FROM TO [STEP] [NCRIT] [METHOD]
#   e.g. tools/edge_resolution_vs_xfoil.sh build/release \
#          tests/data/xfoil_viscous/naca4415_161.dat 3e6 -4 16 1 9 soinne
#
# xfoil runs as in tools/coupled_vs_xfoil_contour.sh (LOAD as it is, VISC
# RE, VPAR N NCRIT, ITER 200, ASEQ outward from 0).
set -euo pipefail
[ $# -ge 5 ] || { echo "usage: $0 BUILD CONTOUR RE FROM TO [STEP] [NCRIT] [METHOD]" >&2; exit 2; }
build=$1 contour=$2 re=$3 from=$4 to=$5 step=${6:-1} ncrit=${7:-9} method=${8:-soinne}
here=$(cd "$(dirname "$0")" && pwd)
export LC_ALL=C
work=$(mktemp -d "${TMPDIR:-/tmp}/edge-resolution.XXXXXX")
trap 'rm -rf "$work"' EXIT

python3 "$here/split_edge_panels.py" "$contour" "$work/split.dat"
"$here/coupled_vs_xfoil_contour.sh" "$build" "$contour" "$re" "$from" "$to" "$step" "$ncrit" "$method" >"$work/nodes.txt"
"$here/coupled_vs_xfoil_contour.sh" "$build" "$work/split.dat" "$re" "$from" "$to" "$step" "$ncrit" "$method" >"$work/split.txt"
head -1 "$work/nodes.txt"

# Rows of coupled_vs_xfoil_contour.sh: alpha yes CL (xfoil) ... or alpha no (xfoil) ...
awk '
  function absval(v) { return v < 0 ? -v : v }
  function num(t) { gsub(/[()]/, "", t); return t }
  function pct(a, b) { return (a == "-" || b == "-" || absval(b) <= 0.05) ? "-" : sprintf("%+.1f", 100 * (a - b) / b) }
  function median(a, c,   i, j, t) {
    if (c == 0) return "-"
    for (i = 1; i <= c; i++) for (j = i + 1; j <= c; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
    return sprintf("%.1f", (c % 2) ? a[(c + 1) / 2] : (a[c / 2] + a[c / 2 + 1]) / 2)
  }
  function largest(a, c,   i, w) { w = 0; for (i = 1; i <= c; i++) if (a[i] > w) w = a[i]; return c ? sprintf("%.1f", w) : "-" }
  /^#/ || /^alpha/ || /^converged/ { next }
  {
    k = $1
    if ($2 == "yes") { ours = $3; xf = num($4) } else { ours = "-"; xf = num($3) }
    if (FNR == NR) { order[++rows] = k; on[k] = ours; xn[k] = xf } else { os[k] = ours; xs[k] = xf }
  }
  END {
    print "alpha xfoil: nodes split (change %) here: nodes split (change %) here against xfoil: nodes split (%)"
    for (r = 1; r <= rows; r++) {
      k = order[r]
      printf "%s %s %s (%s) %s %s (%s) %s %s\n", k, xn[k], xs[k], pct(xs[k], xn[k]), on[k], os[k], pct(os[k], on[k]), pct(on[k], xn[k]), pct(os[k], xs[k])
      if (on[k] != "-" && xn[k] != "-" && absval(xn[k]) > 0.05) dn[++a] = absval(100 * (on[k] - xn[k]) / xn[k])
      if (os[k] != "-" && xs[k] != "-" && absval(xs[k]) > 0.05) ds[++b] = absval(100 * (os[k] - xs[k]) / xs[k])
      if (xn[k] != "-" && xs[k] != "-" && absval(xn[k]) > 0.05) mx[++c] = absval(100 * (xs[k] - xn[k]) / xn[k])
      if (on[k] != "-" && os[k] != "-" && absval(on[k]) > 0.05) mo[++d] = absval(100 * (os[k] - on[k]) / on[k])
    }
    printf "|dCL| %% against xfoil: on the nodes median %s largest %s (%d angles), split median %s largest %s (%d); ", median(dn, a), largest(dn, a), a, median(ds, b), largest(ds, b), b
    printf "moved by the split: xfoil median %s %%, here %s %%\n", median(mx, c), median(mo, d)
  }' "$work/nodes.txt" "$work/split.txt"
