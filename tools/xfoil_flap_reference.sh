#!/usr/bin/env bash
# Reference for the plain flap: xfoil deflects a 25 % flap (hinge at x/c 0.75,
# half the local thickness) on its own NACA sections with GDES/FLAP and gives
# the inviscid CL at alpha 0 and 4. The flapped coordinates xfoil saves are
# read here as a coordinate file, and the same section is made with
# tavrixs-batch's own --flap; both are solved with the vortex panel and the
# Soinne-Laine methods. Prints a markdown table with the differences to xfoil.
#
#   tools/xfoil_flap_reference.sh [BUILD_DIR]      default build/release
#
# xfoil's session: NACA dddd, PANE (its 161 nodes), GDES, FLAP 0.75 999 0.5
# DEG, eXec (the flapped buffer becomes the current airfoil, as xfoil's
# generator drew it), SAVE, OPER, ALFA 0 and 4 into a polar. Needs xfoil and
# xvfb-run (xfoil opens its X display even when driven from standard input).
# The Debian build traps floating-point exceptions and dies with SIGFPE in its
# inviscid solve; it runs here with a preloaded shim that leaves the trap
# set-up of the Fortran run-time undone, as tools/xfoil_crosscheck.sh does.
set -euo pipefail
. "$(dirname "$0")/xfoil_session.sh"
cd "$(dirname "$0")/.."

build=${1:-build/release}
export LC_ALL=C QT_QPA_PLATFORM=offscreen
sections="0012 2412 4415"
deflections="5 10 15"
angles="0 4"
methods="vortex soinne"

if [ ! -x "$build/tavrixs-batch" ]; then
  cmake -S . -B "$build" >/dev/null
  cmake --build "$build" --target tavrixs-batch >/dev/null
fi

xfoil_setup xfoil_flap_reference xfoil xvfb-run

xfoil_flap() {  # section, deflection, coordinate file, polar file
  {
    printf 'PLOP\nG\n\nNACA %s\nPPAR\nN 161\n\n\nPANE\n' "$1"
    printf 'GDES\nFLAP\n0.75\n999\n0.5\n%s\nX\n\n' "$2"
    printf 'SAVE %s\nOPER\nPACC\n%s\n\n' "$3" "$4"
    for a in $angles; do printf 'ALFA %s\n' "$a"; done
    printf 'PACC\n\nQUIT\n'
  } | xfoil_run 120 >"$4.log" 2>&1
}

pct() { awk -v v="$1" -v x="$2" 'BEGIN { printf "%+.2f", (v - x) / x * 100 }'; }

echo "| section | flap (deg) | α (deg) | xfoil CL | vortex, xfoil's points | Soinne-Laine, xfoil's points | vortex, own --flap | Soinne-Laine, own --flap | CH (vortex, own) |"
echo "|---|---:|---:|---:|---:|---:|---:|---:|---:|"
for s in $sections; do
  for d in $deflections; do
    coords="$work/naca${s}_flap$d.dat"
    polar="$work/polar_${s}_$d.txt"
    rm -f "$coords" "$polar"
    if ! xfoil_flap "$s" "$d" "$coords" "$polar" || [ ! -s "$polar" ] || [ ! -s "$coords" ]; then
      echo "xfoil failed for NACA $s, flap $d; its output:" >&2
      cat "$polar.log" >&2
      exit 1
    fi
    declare -A xcl=()
    while read -r a c _; do
      xcl[$(printf '%g' "$a")]=$c
    done < <(sed -n '/^ *------/,$p' "$polar" | tail -n +2)
    for a in $angles; do
      x=${xcl[$a]:-}
      printf '| NACA %s | %s | %s | %s |' "$s" "$d" "$a" "${x:-—}"
      ch=""
      for source in file own; do
        for m in $methods; do
          if [ "$source" = file ]; then
            out=$("$build/tavrixs-batch" --file "$coords" --alpha "$a" --method "$m" \
                    --dir "$work" 2>/dev/null || true)
          else
            out=$("$build/tavrixs-batch" --naca "$s" --points 161 --flap "0.75:0.5:$d" \
                    --alpha "$a" --method "$m" --dir "$work" 2>/dev/null || true)
            [ "$m" = vortex ] && ch=$(sed -n 's/^CH = //p' <<<"$out")
          fi
          v=$(sed -n 's/^CL = //p' <<<"$out")
          if [ -n "$v" ] && [ -n "$x" ]; then
            printf ' %s (%s %%) |' "$v" "$(pct "$v" "$x")"
          else
            printf ' — |'
          fi
        done
      done
      printf ' %s |\n' "${ch:-—}"
    done
    nodes=$(sed -n 's/.*nodes set from buffer airfoil nodes ( *\([0-9]*\) ).*/\1/p' "$polar.log" | tail -n 1)
    echo "NACA $s flap $d: xfoil analysed ${nodes:-?} nodes" >&2
  done
done
echo
echo "(xfoil ran without floating-point traps: the packaged build dies with SIGFPE otherwise.)"
