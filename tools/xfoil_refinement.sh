#!/usr/bin/env bash
# The viscous lift of xfoil and of the coupled analysis as the nodes are
# refined: xfoil makes the section with N nodes (NACA, PPAR N, GDES TGAP 0 1,
# PANE, SAVE) and solves the angles (VISC RE, VPAR N 9, ITER 200, ALFA); the
# saved nodes are then swept here by coupled_polar (over the angles' range
# by half degrees, as a polar is made). A difference that stays
# as the nodes are refined lies in the formulations, not in their resolution.
#
#   tools/xfoil_refinement.sh [BUILD_DIR] [SECTION] [RE] ["NODES"] ["ALPHAS"] ["METHODS"]
#   e.g. tools/xfoil_refinement.sh build/release 4415 3e6 "121 161 241 321" "0 2 4" "soinne vortex"
#
# xfoil needs an X display (xvfb-run) and dies with SIGFPE unless the trap
# set-up of its Fortran run-time is undone by a preloaded shim (see
# tools/xfoil_crosscheck.sh).
set -euo pipefail
. "$(dirname "$0")/xfoil_session.sh"
cd "$(dirname "$0")/.."
build=${1:-build/release}
section=${2:-4415}
re=${3:-3e6}
nodes=${4:-"121 161 241 321"}
alphas=${5:-"0 2 4"}
methods=${6:-"soinne vortex"}
export LC_ALL=C
xfoil_setup xfoil_refinement xfoil xvfb-run "$build/coupled_polar"

header="| nodes | α | xfoil CL |"
rule="|---:|---:|---:|"
for m in $methods; do header="$header $m CL (Δ %) |"; rule="$rule---:|"; done
echo "NACA $section, Re $re, Ncrit 9"
echo
echo "$header"
echo "$rule"
for n in $nodes; do
  {
    printf 'PLOP\nG\n\nNACA %s\nPPAR\nN %s\n\n\nGDES\nTGAP 0 1\nX\n\nPANE\nSAVE section%s.dat\n' \
      "$section" "$n" "$n"
    printf 'OPER\nVISC %s\nVPAR\nN 9\n\nITER 200\nPACC\npolar%s.txt\n\n' "$re" "$n"
    for a in $alphas; do printf 'ALFA %s\n' "$a"; done
    printf 'PACC\n\nQUIT\n'
  } | xfoil_run 600 \
    >"$work/log$n.txt" 2>&1 || { echo "xfoil failed for $n nodes:" >&2; tail -20 "$work/log$n.txt" >&2; exit 1; }
  # (a sweep by half degrees over the angles' range, as a polar is made:
  # each angle warm from its neighbours)
  lo=$(printf '%s\n' $alphas | sort -g | head -1)
  hi=$(printf '%s\n' $alphas | sort -g | tail -1)
  for m in $methods; do
    "$build/coupled_polar" "$work/section$n.dat" "$m" "$re" 9 "$lo" "$hi" 0.5 2>/dev/null |
      awk '!/^#/ && $1 != "alpha"' >"$work/ours_${n}_$m.txt"
  done
  for a in $alphas; do
    x=$(awk -v a="$a" '$1 ~ /^-?[0-9]+\.[0-9]+$/ && $1 + 0 == a + 0 {print $2}' "$work/polar$n.txt" | tail -1)
    row="| $n | $a | ${x:-—} |"
    for m in $methods; do
      cell=$(awk -v a="$a" -v x="${x:-}" '$1 + 0 == a + 0 {
               if ($2 == "yes") {
                 if (x != "" && x + 0 != 0) printf "%s (%+.1f)", $3, 100 * ($3 - x) / x; else printf "%s", $3
               } else printf "no" }' "$work/ours_${n}_$m.txt")
      row="$row ${cell:-—} |"
    done
    echo "$row"
  done
done
echo
echo "(xfoil ran without floating-point traps: the packaged build dies with SIGFPE otherwise.)"
