#!/usr/bin/env bash
# Prints the argument lists of tavrixs-batch presses, one press a line, the
# arguments separated by tabs: a fixed set (every source, every method, every
# combination of the four check boxes, the sample files, the pictures, the
# refusals, the largest systems) followed by COUNT random presses drawn from
# SEED. The same SEED and COUNT give the same lines on the same awk.
#
#   tools/press_cases.sh [SEED] [COUNT] [DATA_DIR]   defaults: 11 300 data/
set -euo pipefail
seed=${1:-11}
count=${2:-300}
data=$(readlink -f "${3:-$(dirname "$0")/../data}")

T=$'\t'
line() { local IFS=$T; printf '%s\n' "$*"; }

methods=(hess vortex kennedy soinne)
flags=(--save-panel --save-matrix --save-singularities --no-circulation)
sources=("--circle" "--naca0012" "--karman-trefftz${T}--thickness${T}0.12${T}--camber${T}0.04${T}--te-angle${T}10")

# Every method on every generated source with every set of check boxes.
for src in "${sources[@]}"; do
  for m in "${methods[@]}"; do
    for mask in $(seq 0 15); do
      chosen=()
      for b in 0 1 2 3; do (( mask >> b & 1 )) && chosen+=("${flags[b]}"); done
      line "$src" --points 41 --alpha 5 --eta 1.5 --mach 0.3 --method "$m" "${chosen[@]}"
    done
  done
done

# The sample coordinate files (their own point counts), plain and with every box.
for f in "$data"/*.arf; do
  for m in "${methods[@]}"; do
    line --file "$f" --alpha 3 --method "$m"
    line --file "$f" --alpha -2 --eta 4 --method "$m" "${flags[@]}"
  done
done

# The largest systems, with the matrices written; pictures of both kinds.
for m in hess vortex kennedy; do line --naca0012 --points 200 --alpha 5 --method "$m" --save-matrix --save-singularities; done
line --naca0012 --points 199 --alpha 5 --method soinne --save-matrix --save-singularities
for m in "${methods[@]}"; do
  line --naca0012 --points 161 --alpha 5 --method "$m"
  line --naca0012 --points 61 --alpha 8 --method "$m" --plot plots.png --matrix matrix.png
  line --karman-trefftz --thickness 0.1 --alpha 5 --method "$m" --exact
done

# Refusals and unusual texts.
line --circle --points 1
line --circle --points 1001
line --naca0012 --points 2.5
line --naca0012 --points 201 --method hess
line --naca0012 --points 200 --method soinne
line --naca0012 --mach 1
line --naca0012 --mach -1.5
line --naca0012 --alpha 1e400
line --naca0012 --eta 1e400 --mach 1e400
line --naca0012 --alpha "&H10" --eta "&o7" --mach " 0 . 2 5"
line --naca0012 --alpha " -3.25e0x" --points " 6 1"
line --circle --points 2
line --circle --points 3 --save-singularities
line --karman-trefftz --thickness 0
line --karman-trefftz --thickness 1
line --karman-trefftz --camber -0.1
line --karman-trefftz --te-angle 180
line --karman-trefftz --xd 1
line --karman-trefftz --thickness 0.066 --te-angle 20
line --karman-trefftz --thickness 0.095 --camber 0.029 --xd 0.2
line --karman-trefftz --points 401
line --file /nonexistent.arf

# Random presses.
awk -v seed="$seed" -v count="$count" -v data="$data" -v T="$T" 'BEGIN {
  srand(seed)
  n = split("hess vortex kennedy soinne", method, " ")
  split("--save-panel --save-matrix --save-singularities --no-circulation", flag, " ")
  nf = split(data "/circle_41.arf " data "/joukowsky_51.arf " data "/naca0012_61.arf", file, " ")
  for (c = 1; c <= count; c++) {
    s = int(rand() * 4)
    m = method[1 + int(rand() * n)]
    np = (rand() < 0.1) ? 2 + int(rand() * 10) : 5 + int(rand() * 196)
    if (rand() < 0.03) np = 201 + int(rand() * 3)
    if (s == 0) out = "--circle" T "--points" T np
    else if (s == 1) out = "--naca0012" T "--points" T np
    else if (s == 2) out = "--file" T file[1 + int(rand() * nf)]
    else {
      np = 11 + int(rand() * 150)
      out = "--karman-trefftz" T "--points" T np T "--thickness" T sprintf("%.3f", 0.02 + rand() * 0.25) \
            T "--camber" T sprintf("%.3f", rand() * 0.08) T "--te-angle" T sprintf("%.1f", rand() * 15)
      if (rand() < 0.3) out = out T "--xd" T sprintf("%.2f", 0.25 + rand() * 0.2)
    }
    out = out T "--method" T m T "--alpha" T sprintf("%.*f", int(rand() * 4), -15 + rand() * 30)
    if (rand() < 0.4) out = out T "--eta" T sprintf("%.2f", -10 + rand() * 20)
    if (rand() < 0.4) out = out T "--mach" T sprintf("%.3f", rand() * 0.9)
    for (b = 1; b <= 4; b++) if (rand() < 0.35) out = out T flag[b]
    print out
  }
}'
