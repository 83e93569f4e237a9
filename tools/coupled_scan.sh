#!/bin/bash
# A random scan of the coupled analysis through tavrixs-batch: COUNT sweeps
# (-4 to 16 degrees by 2) on NACA sections of 51 to 201 points, the four
# methods, Re 1e5 to 9e6 and Ncrit 5 to 11, drawn from SEED. One line per
# sweep: its settings, the angles converged, the exit status and whether a
# NaN or an infinity was printed; a total at the end.
#
#   tools/coupled_scan.sh build/release/tavrixs-batch [SEED [COUNT]]
#
# Two builds compared on the same draw: run it with each binary and the same
# SEED, and diff the outputs.
set -u
batch=${1:?usage: coupled_scan.sh BATCH [SEED [COUNT]]}
seed=${2:-1}
count=${3:-30}
python3 - "$seed" "$count" <<'PY' | while read -r section points method re ncrit; do
import random, sys
rng = random.Random(int(sys.argv[1]))
sections = ["0006", "0009", "0012", "0015", "0018", "1408", "2412", "2415",
            "4412", "4415", "4418", "6409", "23012", "23015"]
points = [51, 81, 101, 121, 161, 201]
methods = ["soinne", "vortex", "hess", "kennedy"]
res = ["1e5", "2e5", "5e5", "1e6", "2e6", "3e6", "6e6", "9e6"]
for _ in range(int(sys.argv[2])):
    print(rng.choice(sections), rng.choice(points), rng.choice(methods),
          rng.choice(res), rng.randint(5, 11))
PY
    out=$("$batch" --naca "$section" --points "$points" --method "$method" \
          --sweep -4:16:2 --re "$re" --ncrit "$ncrit" 2>&1)
    status=$?
    yes=$(grep -c 'converged = yes' <<<"$out")
    nan=$(grep -ciE '\bnan\b|\binf\b' <<<"$out")
    echo "$section $points $method Re=$re Ncrit=$ncrit converged=$yes/11 status=$status nonfinite=$nan"
done | awk '{print; split($6, c, "[=/]"); s += c[2]; n += c[3]}
    END {print "total converged " s " of " n}'
