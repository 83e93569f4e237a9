#!/usr/bin/env bash
# Runs the same presses with two tavrixs-batch programs and compares everything
# each one leaves behind, byte for byte: standard output, standard error, exit
# status and every file written into its working directory (result files,
# "Panel Properties.txt", "Exact.xls", pictures). The presses are those of
# tools/press_cases.sh plus, when present, the argument lists of the golden
# cases (TAVRIX_GOLDEN_CASES, default ../shared/golden/cases beside the tree).
#
#   tools/compare_outputs.sh NEW_BATCH REFERENCE [SEED] [COUNT]
#
# REFERENCE is another tavrixs-batch, or a git revision of this repository,
# whose tree is then unpacked into a temporary folder and built first. Exit 0
# when every press agrees; the differing presses are listed. KEEP=1 keeps the
# outputs.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
new=$(readlink -f "${1:?usage: compare_outputs.sh NEW_BATCH REFERENCE [SEED] [COUNT]}")
reference=${2:?usage: compare_outputs.sh NEW_BATCH REFERENCE [SEED] [COUNT]}
seed=${3:-11}
count=${4:-300}
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8

work=$(mktemp -d "${TMPDIR:-/tmp}/tavrix-compare.XXXXXX")
cleanup() {
  if [ "${KEEP:-0}" = 1 ]; then echo "outputs kept in $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

if [ -x "$reference" ] && [ -f "$reference" ]; then
  ref=$(readlink -f "$reference")
else
  rev=$(git -C "$repo" rev-parse --verify "$reference^{commit}")
  tree=$work/tree
  mkdir -p "$tree"
  git -C "$repo" archive "$rev" | tar -x -C "$tree"
  echo "building tavrixs-batch of ${rev:0:12} ..."
  cmake -S "$tree" -B "$tree/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRIX_BUILD_GUI=OFF \
        -DTAVRIX_BUILD_BENCH=OFF ${CMAKE_CXX_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER} >/dev/null
  cmake --build "$tree/build" -j"$(nproc)" --target tavrixs-batch >/dev/null
  ref=$tree/build/tavrixs-batch
fi

cases=$work/cases
"$repo/tools/press_cases.sh" "$seed" "$count" "$repo/data" >"$cases"
golden=${TAVRIX_GOLDEN_CASES:-$repo/../shared/golden/cases}
if [ -d "$golden" ]; then
  for g in "$golden"/*/args; do (IFS=$'\t'; mapfile -t a <"$g"; printf '%s\n' "${a[*]}") >>"$cases"; done
fi

run() {  # batch, output folder, arguments...
  local batch=$1 dir=$2
  shift 2
  mkdir -p "$dir"
  local status=0
  (cd "$dir" && "$batch" "$@" >stdout 2>stderr) || status=$?
  echo "$status" >"$dir/exit"
}

total=0 differ=0
while IFS=$'\t' read -r -a args; do
  total=$((total + 1))
  run "$ref" "$work/ref/$total" "${args[@]}"
  run "$new" "$work/new/$total" "${args[@]}"
  if ! diff -r -q "$work/ref/$total" "$work/new/$total" >"$work/diff" 2>&1; then
    differ=$((differ + 1))
    echo "differs: press $total (${args[*]}):"
    sed 's/^/  /' "$work/diff"
  elif [ "${KEEP:-0}" != 1 ]; then
    rm -rf "$work/ref/$total" "$work/new/$total"
  fi
done <"$cases"
echo "presses compared: $total, identical: $((total - differ))"
[ "$differ" -eq 0 ]
