#!/usr/bin/env bash
# Cross-check of the boundary layer against xfoil's viscous analysis on exactly
# the same NACA 0012 points (the program's own contour, reversed into xfoil's
# order and loaded as panel nodes, as tools/xfoil_crosscheck.sh does), at
# Re = 3e6 with xfoil's default free transition (e^n, Ncrit = 9). The four
# methods run through tavrixs-batch --re --one-way with the same criterion
# (--ncrit NCRIT); the Hess method runs twice more, with Michel's criterion
# instead, and with free transition off and the transition forced at xfoil's
# points, which separates the laminar and turbulent methods from the
# transition criterion. Prints markdown tables.
#
#   tools/xfoil_viscous_crosscheck.sh [BUILD_DIR] [POINT COUNT] [ANGLES] [RE] [NCRIT]
#   defaults: build/release  161  "0 1 2 3 4 5 6"  3e6  9
# NCRIT is xfoil's amplification factor at transition (9, its default, for a
# quiet free stream; lower for a more disturbed one).
#
# Needs xfoil and xvfb-run; the packaged xfoil dies with SIGFPE unless the
# trap set-up of its Fortran run-time is undone, which a preloaded two-line
# shim does (see tools/xfoil_crosscheck.sh).
set -euo pipefail
. "$(dirname "$0")/xfoil_session.sh"
cd "$(dirname "$0")/.."

build=${1:-build/release}
np=${2:-161}
angles=${3:-"0 1 2 3 4 5 6"}
re=${4:-3e6}
ncrit=${5:-9}
export LC_ALL=C QT_QPA_PLATFORM=offscreen

if [ ! -x "$build/dump_contour" ] || [ ! -x "$build/tavrixs-batch" ]; then
  cmake -S . -B "$build" >/dev/null
  cmake --build "$build" --target dump_contour tavrixs-batch >/dev/null
fi

xfoil_setup xfoil_viscous_crosscheck xfoil xvfb-run

coords="$work/naca0012_$np.dat"
{ echo "NACA 0012 $np points (Tavrix-S generator)"; "$build/dump_contour" "$np" | tac; } >"$coords"
polar="$work/polar.txt"
# The angles in increasing order, each viscous solution starting from the last;
# xfoil runs in the scratch folder, where it leaves its own files.
{
  printf 'PLOP\nG\n\nLOAD %s\nOPER\nVISC %s\nVPAR\nN %s\n\nITER 300\nPACC\n%s\n\n' \
    "$coords" "$re" "$ncrit" "$polar"
  for a in $angles; do printf 'ALFA %s\n' "$a"; done
  printf 'PACC\n\nQUIT\n'
} | xfoil_run 600 >"$polar.log" 2>&1 || {
  echo "xfoil failed; its output:" >&2; cat "$polar.log" >&2; exit 1; }
grep -q "nodes set from buffer airfoil nodes ( *$np )" "$polar.log" ||
  { echo "xfoil did not take the $np points as panel nodes" >&2; exit 1; }

declare -A cd xtr xtrl
# Polar rows: alpha CL CD CDp CM Top_Xtr Bot_Xtr ...; an angle that did not
# converge has no row.
while read -r a _ d _ _ t b _; do
  key=$(printf '%g' "$a")
  cd[xfoil,$key]=$d
  xtr[xfoil,$key]=$t
  xtrl[xfoil,$key]=$b
done < <(sed -n '/^ *------/,$p' "$polar" | tail -n +2)

batch() {  # key, angle, options...
  local key=$1 a=$2
  shift 2
  local out
  out=$("$build/tavrixs-batch" --naca0012 --points "$np" --alpha "$a" --re "$re" --one-way --dir "$work" "$@")
  cd[$key,$(printf '%g' "$a")]=$(sed -n 's/^CD = \([0-9.]*\).*/\1/p' <<<"$out")
  xtr[$key,$(printf '%g' "$a")]=$(sed -n 's/^transition upper x\/c = \([0-9.]*\).*/\1/p' <<<"$out")
  xtrl[$key,$(printf '%g' "$a")]=$(sed -n 's/^transition lower x\/c = \([0-9.]*\).*/\1/p' <<<"$out")
}
methods="hess vortex kennedy soinne"
for a in $angles; do
  for m in $methods; do batch "$m" "$a" --method "$m" --ncrit "$ncrit"; done
  batch michel "$a"
  key=$(printf '%g' "$a")
  if [ -n "${xtr[xfoil,$key]:-}" ]; then
    batch tripped "$a" --no-natural-transition \
      --transition-upper "${xtr[xfoil,$key]}" --transition-lower "${xtrl[xfoil,$key]}"
  fi
done

percent() {  # value, reference
  if [ -z "$1" ] || [ -z "$2" ]; then echo "—"; return; fi
  awk -v v="$1" -v r="$2" 'BEGIN { printf "%+.0f %%", 100 * (v - r) / r }'
}
echo
echo "CD, NACA 0012, $np points, Re = $re, xfoil with Ncrit = $ncrit (in brackets: difference from xfoil):"
echo
echo "| α (deg) | xfoil | Hess | Vortex panel | Kennedy-Marsden | Soinne-Laine | Hess, Michel | Hess, transition at xfoil's |"
echo "|---:|---:|---:|---:|---:|---:|---:|---:|"
for a in $angles; do
  key=$(printf '%g' "$a")
  ref=${cd[xfoil,$key]:-}
  printf '| %s | %s |' "$a" "${ref:-—}"
  for s in $methods michel tripped; do
    v=${cd[$s,$key]:-}
    printf ' %s (%s) |' "${v:-—}" "$(percent "$v" "$ref")"
  done
  echo
done
echo
echo "Transition x/c, upper surface / lower surface, xfoil with Ncrit = $ncrit:"
echo
echo "| α (deg) | xfoil | Hess | Vortex panel | Kennedy-Marsden | Soinne-Laine | Hess, Michel |"
echo "|---:|---:|---:|---:|---:|---:|---:|"
for a in $angles; do
  key=$(printf '%g' "$a")
  printf '| %s |' "$a"
  for s in xfoil $methods michel; do printf ' %s / %s |' "${xtr[$s,$key]:-—}" "${xtrl[$s,$key]:-—}"; done
  echo
done
