#!/usr/bin/env bash
# Has xfoil read a polar written by `tavrixs-batch --sweep ... --polar` (PGET in
# its OPER menu) and compares the rows xfoil lists (PLIS) with the file's own.
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

"$build/tavrixs-batch" --points 61 --method vortex --sweep -4:8:2 --mach 0.3 \
  --polar "$work/tavrix.pol" --dir "$work" >/dev/null
printf 'PLOP\nG\n\nNACA 0012\nOPER\nPGET %s\nPLIS\n\n\nQUIT\n' "$work/tavrix.pol" |
  LD_PRELOAD="$work/nofpe.so" timeout 60 xvfb-run -a xfoil 2>&1 | tr -d '\000' >"$work/xfoil.log"

rows() { sed -n '/^ *------/,/^ *$/p' | grep -E '^ +-?[0-9]' | awk '{print $1, $2, $3, $4, $5}'; }
written=$(rows <"$work/tavrix.pol")
listed=$(rows <"$work/xfoil.log" | head -n "$(wc -l <<<"$written")")
echo "written by tavrixs-batch:"; echo "$written"
echo "listed by xfoil after PGET:"; echo "$listed"
grep -q "Mach =   0.300" "$work/xfoil.log" || { echo "xfoil did not take the Mach number" >&2; exit 1; }
[ "$written" = "$listed" ] || { echo "xfoil read different rows" >&2; exit 1; }
echo "xfoil read all $(wc -l <<<"$written") rows and the Mach number."
