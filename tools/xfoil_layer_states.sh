#!/usr/bin/env bash
# xfoil's converged upper-surface layer of one viscous point, as the states
# this program's layer equations take: per station from the stagnation point
# to the trailing edge, x/c, the arc length xi from the stagnation point, the
# edge speed, theta, delta*, the kind (L laminar, T turbulent), n or
# sqrt(C_tau), and xfoil's own sqrt(C_tau,EQ) (0 where laminar). Made from
# xfoil's BL variable plots written at full precision (H, Ue, Re_theta, the
# shear coefficient and n; its DUMP file holds theta to three digits), on the
# 161 nodes of tests/data/xfoil_viscous, Ncrit 9. tools/layer_residuals puts
# the table into the layer's equations, interval by interval.
#
#   tools/xfoil_layer_states.sh SECTION RE ALPHA [OUT]
#   e.g. tools/xfoil_layer_states.sh 0006 3e6 7 /tmp/naca0006_a7.states
#
# NODES=FILE takes another set of nodes (xfoil's SAVE format) instead.
# xfoil needs an X display (xvfb-run) and dies with SIGFPE unless the trap
# set-up of its Fortran run-time is undone by a preloaded shim (see
# tools/xfoil_crosscheck.sh).
set -euo pipefail
. "$(dirname "$0")/xfoil_session.sh"
cd "$(dirname "$0")/.."
[ $# -ge 3 ] || { echo "usage: $0 SECTION RE ALPHA [OUT]" >&2; exit 2; }
section=$1 re=$2 alpha=$3
out=${4:-naca${section}_re${re}_a${alpha}.states}
export LC_ALL=C
dat=${NODES:-tests/data/xfoil_viscous/naca${section}_161.dat}
[ -f "$dat" ] || { echo "xfoil_layer_states: no $dat (tools/xfoil_viscous_reference.sh makes it)" >&2; exit 1; }
command -v python3 >/dev/null || { echo "xfoil_layer_states: python3 is not installed" >&2; exit 1; }
xfoil_setup xfoil_layer_states xfoil xvfb-run
cp "$dat" "$work/section.dat"
{
  printf 'PLOP\nG\n\nLOAD section.dat\n\nOPER\nVISC %s\nVPAR\nN 9\n\nITER 200\nALFA %s\nDUMP dump.txt\nVPLO\n' \
    "$re" "$alpha"
  for v in H UE RT CT N; do printf '%s\nDUMP %s.txt\n' "$v" "$v"; done
  printf '\n\nQUIT\n'
} | xfoil_run 300 >"$work/log.txt" 2>&1 || { echo "xfoil failed:" >&2; tail -20 "$work/log.txt" >&2; exit 1; }
for v in dump H UE RT CT N; do
  [ -s "$work/$v.txt" ] || { echo "xfoil wrote no $v (not converged?)" >&2; tail -20 "$work/log.txt" >&2; exit 1; }
done
python3 - "$work" "$re" >"$work/states.txt" <<'PY'
import math, sys
work, re = sys.argv[1], float(sys.argv[2])

def first_block(name):
    """The plot's first curve (the upper side's layer, from the stagnation point)."""
    rows = []
    for line in open(f"{work}/{name}.txt"):
        if line.startswith("#"):
            continue
        if not line.strip():
            if rows:
                break
            continue
        rows.append([float(v) for v in line.split()])
    return rows

h, ue, rt, ct, n = (first_block(v) for v in ("H", "UE", "RT", "CT", "N"))
nodes = [tuple(map(float, l.split()[:2])) for l in open(f"{work}/section.dat").readlines()[1:] if l.strip()]
s = [0.0]
for a, b in zip(nodes, nodes[1:]):
    s.append(s[-1] + math.hypot(b[0] - a[0], b[1] - a[1]))
# The stagnation point: where the dump's signed edge speed changes sign.
dump = [[float(v) for v in l.split()[:4]] for l in open(f"{work}/dump.txt") if not l.startswith("#")]
k = next(i for i, r in enumerate(dump) if r[3] <= 0)
sStag = s[k - 1] + (s[k] - s[k - 1]) * dump[k - 1][3] / (dump[k - 1][3] - dump[k][3])
print(f"# x xi ue theta dstar kind c sqrtCtauEq (Re {re:g})")
turbulent = {round(r[0], 5): r for r in ct}
for j in range(min(k, len(ue))):
    node = k - 1 - j
    x = nodes[node][0]
    if abs(ue[j][0] - x) > 2e-4:
        sys.exit(f"station {j} at x/c {ue[j][0]} is not node {node} at {x}")
    theta = rt[j][1] / (re * ue[j][1])
    if j < len(n) and abs(n[j][0] - x) < 2e-4:
        kind, c, eq = "L", n[j][1], 0.0
    else:
        r = turbulent.get(round(ue[j][0], 5))
        if r is None:
            sys.exit(f"no shear coefficient at x/c {x}")
        kind, c, eq = "T", r[1], r[2]
    print(f"{x:.6e} {sStag - s[node]:.9e} {ue[j][1]:.6e} {theta:.6e} {h[j][1] * theta:.6e} {kind} {c:.6e} {eq:.6e}")
PY
mkdir -p "$(dirname "$out")"
cp "$work/states.txt" "$out"
echo "$out: $(grep -vc '^#' "$out") stations; $(grep -i 'transition at' "$work/log.txt" | tail -2 | tr -s ' ' | tr '\n' ';')"
