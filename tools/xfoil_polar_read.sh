#!/usr/bin/env bash
# Has xfoil read polars written by `tavrixs-batch --sweep ... --polar` (PGET in
# its OPER menu), an inviscid and a coupled one, and compares the rows xfoil
# lists (PLIS) with the files' own.
#
#   tools/xfoil_polar_read.sh [BUILD_DIR]      exit 0 when xfoil took in every row
#
# Needs xfoil and xvfb-run; like tools/xfoil_crosscheck.sh it runs xfoil with
# the floating-point traps of its Fortran run-time left unset.
set -euo pipefail
. "$(dirname "$0")/xfoil_session.sh"
cd "$(dirname "$0")/.."
build=${1:-build/release}
export LC_ALL=C QT_QPA_PLATFORM=offscreen
[ -x "$build/tavrixs-batch" ] || cmake --build "$build" --target tavrixs-batch >/dev/null

xfoil_setup xfoil_polar_read xfoil xvfb-run

# (an xfoil that lists no rows, or rows of Inf, fails the comparison)
rows() { sed -n '/^ *------/,/^ *$/p' | { grep -E '^ +-?[0-9]' || true; } | awk '{print $1, $2, $3, $4, $5}'; }

# Has xfoil read POLAR and list it; compares the rows and the Mach number.
check() {  # polar file, Mach number as xfoil prints it
  printf 'PLOP\nG\n\nNACA 0012\nOPER\nPGET %s\nPLIS\n\n\nQUIT\n' "$1" |
    xfoil_run 60 2>&1 | tr -d '\000' >"$work/xfoil.log"
  written=$(rows <"$1")
  listed=$(rows <"$work/xfoil.log" | head -n "$(wc -l <<<"$written")")
  echo "written by tavrixs-batch ($(basename "$1")):"; echo "$written"
  echo "listed by xfoil after PGET:"; echo "$listed"
  grep -q "Mach =   $2" "$work/xfoil.log" || { echo "xfoil did not take the Mach number" >&2; exit 1; }
  [ "$written" = "$listed" ] || { echo "xfoil read different rows" >&2; exit 1; }
  echo "xfoil read all $(wc -l <<<"$written") rows and the Mach number."
}

# An inviscid polar with a compressibility correction, and a coupled one.
"$build/tavrixs-batch" --points 61 --method vortex --sweep -4:8:2 --mach 0.3 \
  --polar "$work/inviscid.pol" --dir "$work" >/dev/null
check "$work/inviscid.pol" 0.300
"$build/tavrixs-batch" --points 61 --method soinne --sweep 0:6:2 --re 1e6 \
  --polar "$work/coupled.pol" --dir "$work" >/dev/null
check "$work/coupled.pol" 0.000
