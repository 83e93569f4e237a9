#!/usr/bin/env bash
# Runs the same benchmarks of two tavrix_bench binaries in alternation (old,
# new, old, new), so that a busy moment of a shared machine falls on both,
# and prints the medians side by side.
#
#   tools/bench_compare.sh OLD_BENCH NEW_BENCH [FILTER] [REPETITIONS] [ROUNDS]
set -euo pipefail
old=${1:?usage: bench_compare.sh OLD_BENCH NEW_BENCH [FILTER] [REPETITIONS] [ROUNDS]}
new=${2:?usage: bench_compare.sh OLD_BENCH NEW_BENCH [FILTER] [REPETITIONS] [ROUNDS]}
filter=${3:-'BM_Press.*/NP:(199|200)/writeMat:0'}
repetitions=${4:-11}
rounds=${5:-2}
for round in $(seq 1 "$rounds"); do
  for which in old new; do
    bin=$old
    [ "$which" = new ] && bin=$new
    "$bin" --benchmark_filter="$filter" --benchmark_repetitions="$repetitions" \
      --benchmark_report_aggregates_only=true --benchmark_min_time=0.2 2>/dev/null |
      grep median | sed "s/^/$which round $round  /"
  done
done
