#!/usr/bin/env bash
# The coupled viscous-inviscid analysis against xfoil on xfoil's own nodes:
# runs coupled_polar on tests/data/xfoil_viscous/nacaXXXX_161.dat at every
# angle of xfoil's polar nacaXXXX_reRE.pol (made by
# tools/xfoil_viscous_reference.sh, Ncrit 9) and prints, per section, a
# markdown table of this program's CL, CMc/4, CD and transition points with
# xfoil's in brackets, the differences of CL and CD in percent, of CM and of
# the transition points in chords, and a summary line: points converged here
# and in xfoil's polar, the median and worst CD difference over the points
# both converged.
#
#   [REFERENCE=split] tools/coupled_vs_xfoil.sh [BUILD] [SECTIONS] [RE] [METHOD]
#   defaults: build/release  "0012 4415"  3e6  vortex
#
# With REFERENCE=split xfoil's numbers are those of its polar on the same
# polygon with the panels next to the trailing edge split
# (nacaXXXX_split_reRE.pol of tools/xfoil_viscous_reference.sh with
# SPLIT=1), this program's still those on xfoil's nodes.
#
# The angles: every whole degree from -4 up to xfoil's last converged angle.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/release}
sections=${2:-"0012 4415"}
re=${3:-3e6}
method=${4:-vortex}
ncrit=9
export LC_ALL=C
tool="$build/coupled_polar"
[ -x "$tool" ] || { echo "coupled_vs_xfoil: $tool is not built (cmake --build $build --target coupled_polar)" >&2; exit 1; }
ref=tests/data/xfoil_viscous
work=$(mktemp -d "${TMPDIR:-/tmp}/coupled-vs-xfoil.XXXXXX")
trap 'rm -rf "$work"' EXIT

for s in $sections; do
  dat="$ref/naca${s}_161.dat"
  pol="$ref/naca${s}${REFERENCE:+_$REFERENCE}_re${re}.pol"
  [ -f "$dat" ] && [ -f "$pol" ] || { echo "coupled_vs_xfoil: no reference $dat or $pol" >&2; exit 1; }
  # xfoil's rows after the dashed line: alpha CL CD CDp CM Top_Xtr Bot_Xtr.
  sed -n '/^ *------/,$p' "$pol" | tail -n +2 | awk 'NF >= 7' >"$work/xfoil.txt"
  top=$(awk 'BEGIN { m = -1e9 } { if ($1 > m) m = $1 } END { printf "%d", m }' "$work/xfoil.txt")
  "$tool" "$dat" "$method" "$re" "$ncrit" -4 "$top" 1 >"$work/ours.txt"

  echo
  echo "NACA $s, Re = $re, Ncrit $ncrit, $method (xfoil in brackets; differences of CL and CD in %, of CM and transition in chords):"
  echo
  echo "| α | converged | CL | ΔCL % | CMc/4 | ΔCM | CD | ΔCD % | xtr upper | Δ | xtr lower | Δ |"
  echo "|---:|:---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
  awk -v section="$s" '
    function pct(a, b) { return (b == 0) ? "—" : sprintf("%+.1f", 100 * (a - b) / b) }
    function num(v, d) { return sprintf("%." d "f", v) }
    function absval(v) { return v < 0 ? -v : v }
    FNR == NR { xa[$1 + 0] = 1; xcl[$1 + 0] = $2; xcd[$1 + 0] = $3; xcm[$1 + 0] = $5;
                xtu[$1 + 0] = $6; xtl[$1 + 0] = $7; next }
    /^#/ || /^alpha/ { next }
    {
      a = $1 + 0; total++
      inx = (a in xa); if (inx) xconv++
      if ($2 != "yes") {
        reason = ""; for (i = 11; i <= NF; i++) reason = reason (i > 11 ? " " : "") $i
        if (inx)
          printf "| %g | no: %s | — (%s) | | — (%s) | | — (%s) | | — (%s) | | — (%s) | |\n", a, reason,
            num(xcl[a], 4), num(xcm[a], 4), num(xcd[a], 5), num(xtu[a], 3), num(xtl[a], 3)
        else
          printf "| %g | no: %s; xfoil neither | — | | — | | — | | — | | — | |\n", a, reason
        next
      }
      conv++
      if (!inx) {
        printf "| %g | yes; xfoil not | %s | | %s | | %s | | %s | | %s | |\n", a, $3, $4, $5, $8, $9
        next
      }
      both++
      dcd = 100 * ($5 - xcd[a]) / xcd[a]; d[both] = dcd
      if (absval(dcd) > worst) worst = absval(dcd)
      tu = ($8 == "-") ? "—" : sprintf("%.3f", $8); dtu = ($8 == "-") ? "—" : sprintf("%+.3f", $8 - xtu[a])
      tl = ($9 == "-") ? "—" : sprintf("%.3f", $9); dtl = ($9 == "-") ? "—" : sprintf("%+.3f", $9 - xtl[a])
      printf "| %g | yes | %s (%s) | %s | %s (%s) | %+.4f | %s (%s) | %+.1f | %s (%s) | %s | %s (%s) | %s |\n",
        a, $3, num(xcl[a], 4), (absval(xcl[a]) < 1e-3 ? "—" : pct($3, xcl[a])), $4, num(xcm[a], 4),
        $4 - xcm[a], $5, num(xcd[a], 5), dcd, tu, num(xtu[a], 3), dtu, tl, num(xtl[a], 3), dtl
    }
    END {
      # median of |ΔCD| over the points both converged
      for (i = 1; i <= both; i++) { m[i] = absval(d[i]) }
      for (i = 2; i <= both; i++) { v = m[i]; j = i - 1; while (j >= 1 && m[j] > v) { m[j + 1] = m[j]; j-- } m[j + 1] = v }
      med = (both == 0) ? "—" : sprintf("%.1f", (both % 2) ? m[(both + 1) / 2] : (m[both / 2] + m[both / 2 + 1]) / 2)
      wst = (both == 0) ? "—" : sprintf("%.1f", worst)
      printf "\nSummary NACA %s: converged %d of %d here, %d of %d in xfoil; |ΔCD| over the %d points both converged: median %s %%, worst %s %%\n",
        section, conv, total, xconv, total, both, med, wst
    }' "$work/xfoil.txt" "$work/ours.txt"
done
