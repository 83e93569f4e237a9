#!/usr/bin/env bash
# Cross-check of CL and CMc/4 against xfoil's inviscid panel method on exactly
# the same NACA 0012 points: the program's own contour (tools/dump_contour),
# reversed into xfoil's order (counter-clockwise from the trailing edge over
# the upper surface), loaded as panel nodes without repanelling. The four
# methods run through tavrixs-batch. Prints two markdown tables.
#
#   tools/xfoil_crosscheck.sh [BUILD_DIR] [POINT COUNTS] [ANGLES]
#   defaults: build/release  "61 161"  "0 5 10"
#
# Needs xfoil and xvfb-run (xfoil opens its X display even when driven from
# standard input). The Debian build of xfoil traps floating-point exceptions
# and dies with SIGFPE in its inviscid solve (also for its own NACA 0012);
# when that happens the script runs it again with a preloaded two-line shim
# that leaves the trap set-up of the Fortran run-time undone, and says so.
set -euo pipefail
. "$(dirname "$0")/xfoil_session.sh"
cd "$(dirname "$0")/.."

build=${1:-build/release}
counts=${2:-"61 161"}
angles=${3:-"0 5 10"}
export LC_ALL=C QT_QPA_PLATFORM=offscreen

if [ ! -x "$build/dump_contour" ] || [ ! -x "$build/tavrixs-batch" ]; then
  cmake -S . -B "$build" >/dev/null
  cmake --build "$build" --target dump_contour tavrixs-batch >/dev/null
fi

xfoil_setup xfoil_crosscheck xfoil xvfb-run
preload=""

# xfoil session: graphics off, load the points as they are, inviscid polar.
run_xfoil() {  # coordinate file, polar file
  {
    printf 'PLOP\nG\n\nLOAD %s\nOPER\nPACC\n%s\n\n' "$1" "$2"
    for a in $angles; do printf 'ALFA %s\n' "$a"; done
    printf 'PACC\n\nQUIT\n'
  } | env ${preload:+LD_PRELOAD="$preload"} timeout 120 xvfb-run -a xfoil >"$2.log" 2>&1
}

methods="hess vortex kennedy soinne"
declare -A cl cm
for np in $counts; do
  coords="$work/naca0012_$np.dat"
  { echo "NACA 0012 $np points (Tavrix-S generator)"; "$build/dump_contour" "$np" | tac; } >"$coords"
  polar="$work/polar_$np.txt"
  rm -f "$polar"
  status=0
  run_xfoil "$coords" "$polar" || status=$?
  if [ "$status" -ne 0 ] && grep -q SIGFPE "$polar.log" && [ -z "$preload" ]; then
    echo "xfoil died with SIGFPE (exit $status); running it again without floating-point traps." >&2
    preload="$work/nofpe.so"
    rm -f "$polar"
    status=0
    run_xfoil "$coords" "$polar" || status=$?
  fi
  if [ "$status" -ne 0 ] || [ ! -s "$polar" ]; then
    echo "xfoil failed for $np points (exit $status); its output:" >&2
    cat "$polar.log" >&2
    exit 1
  fi
  grep -q "nodes set from buffer airfoil nodes ( *$np )" "$polar.log" ||
    { echo "xfoil did not take the $np points as panel nodes" >&2; exit 1; }
  # Polar rows follow the dashed line: alpha CL CD CDp CM ...
  while read -r a c _ _ m _; do
    key=$(printf '%g' "$a")
    cl[xfoil,$np,$key]=$c
    cm[xfoil,$np,$key]=$m
  done < <(sed -n '/^ *------/,$p' "$polar" | tail -n +2)

  for method in $methods; do
    for a in $angles; do
      out=$("$build/tavrixs-batch" --naca0012 --points "$np" --alpha "$a" --method "$method" \
              --dir "$work")
      key=$(printf '%g' "$a")
      cl[$method,$np,$key]=$(sed -n 's/^CL = //p' <<<"$out")
      cm[$method,$np,$key]=$(sed -n 's/^CMc\/4 = //p' <<<"$out")
    done
  done
done

table() {  # title, array name
  local -n values=$2
  echo
  echo "$1"
  echo
  echo "| NP | α (deg) | xfoil | Hess | Vortex panel | Kennedy-Marsden | Soinne-Laine |"
  echo "|---:|---:|---:|---:|---:|---:|---:|"
  for np in $counts; do
    for a in $angles; do
      key=$(printf '%g' "$a")
      printf '| %s | %s |' "$np" "$a"
      for source in xfoil $methods; do printf ' %s |' "${values[$source,$np,$key]:-—}"; done
      echo
    done
  done
}
table "CL, NACA 0012:" cl
table "CMc/4 (about (0.25, 0), nose up positive), NACA 0012:" cm
if [ -n "$preload" ]; then
  echo
  echo "(xfoil ran without floating-point traps: the packaged build dies with SIGFPE otherwise.)"
fi

# NACA 4415 made by xfoil's own generator and written with SAVE (Selig order,
# 160 nodes, open trailing edge 0.00315 chord wide), and again after
# GDES/TGAP 0 1 and PANE (closed, 160 nodes). Both files are read here as they
# stand, the open one closed at the mid point of its gap, and compared with
# xfoil's inviscid CL on the same nodes.
naca_angles="0 4 8"
naca_methods="vortex kennedy soinne"
gen_log="$work/naca4415_gen.log"
gen_session() {
  printf 'PLOP\nG\n\nNACA 4415\nSAVE %s\nGDES\nTGAP 0 1\nEXEC\n\nPANE\nSAVE %s\nQUIT\n' \
    "$work/naca4415_open.dat" "$work/naca4415_closed.dat" |
    env ${preload:+LD_PRELOAD="$preload"} timeout 120 xvfb-run -a xfoil >"$gen_log" 2>&1
}
gen_session || { echo "xfoil could not make NACA 4415; its output:" >&2; cat "$gen_log" >&2; exit 1; }
declare -A ncl
for kind in closed open; do
  coords="$work/naca4415_$kind.dat"
  polar="$work/polar_4415_$kind.txt"
  rm -f "$polar"
  status=0
  angles="$naca_angles" run_xfoil "$coords" "$polar" || status=$?
  if [ "$status" -ne 0 ] && grep -q SIGFPE "$polar.log" && [ -z "$preload" ]; then
    preload="$work/nofpe.so"
    rm -f "$polar"
    status=0
    angles="$naca_angles" run_xfoil "$coords" "$polar" || status=$?
  fi
  if [ "$status" -ne 0 ] || [ ! -s "$polar" ]; then
    echo "xfoil failed for NACA 4415 ($kind); its output:" >&2
    cat "$polar.log" >&2
    exit 1
  fi
  while read -r a c _; do
    ncl[xfoil,$kind,$(printf '%g' "$a")]=$c
  done < <(sed -n '/^ *------/,$p' "$polar" | tail -n +2)
  for method in $naca_methods; do
    for a in $naca_angles; do
      out=$("$build/tavrixs-batch" --file "$coords" --alpha "$a" --method "$method" \
              --dir "$work" 2>/dev/null)
      ncl[$method,$kind,$a]=$(sed -n 's/^CL = //p' <<<"$out")
    done
  done
done
echo
echo "CL, NACA 4415 from xfoil's generator (160 nodes), relative difference to xfoil in %:"
echo
echo "| trailing edge | α (deg) | xfoil | Vortex panel | Kennedy-Marsden | Soinne-Laine |"
echo "|---|---:|---:|---:|---:|---:|"
for kind in closed open; do
  for a in $naca_angles; do
    x=${ncl[xfoil,$kind,$a]:-}
    printf '| %s | %s | %s |' "$kind" "$a" "${x:-—}"
    for method in $naca_methods; do
      v=${ncl[$method,$kind,$a]:-}
      if [ -n "$v" ] && [ -n "$x" ]; then
        printf ' %s (%+.2f %%) |' "$v" "$(awk -v v="$v" -v x="$x" 'BEGIN { print (v - x) / x * 100 }')"
      else
        printf ' — |'
      fi
    done
    echo
  done
done
