#!/bin/sh
# Builds the fuzz targets of the text readers with clang's libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer, and runs each for a bounded time.
#   tools/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
# Targets: fuzz_airfoil_file (coordinate-file parser), fuzz_leading_number
# (leading-number rule and number forms), fuzz_coordinate_formats (Selig,
# Lednicer and plain x y files, trailing-edge closure, repanelling). Default
# 60 seconds each, all targets.
# Everything happens in a temporary folder, which is removed unless a target
# found a fault; then its crash input is kept there and the script exits 1.
set -eu

seconds=${1:-60}
if [ $# -gt 0 ]; then shift; fi
targets=${*:-"fuzz_airfoil_file fuzz_leading_number fuzz_coordinate_formats"}

case $seconds in
    ''|*[!0-9]*) echo "usage: $0 [SECONDS_PER_TARGET] [TARGET...]" >&2; exit 2 ;;
esac

repo=$(cd "$(dirname "$0")/.." && pwd)
CXX=${CXX:-clang++}
work=$(mktemp -d "${TMPDIR:-/tmp}/tavrix-fuzz.XXXXXX")
keep=0
cleanup() { [ "$keep" -eq 1 ] || rm -rf "$work"; }
trap cleanup EXIT

flags="-std=c++20 -g -O1 -ffp-contract=off -fsanitize=fuzzer,address,undefined
       -fno-sanitize-recover=undefined -Wall -Wextra -I$repo"

sources_fuzz_airfoil_file="geometry/AirfoilFileParser.cpp app/NumberText.cpp"
sources_fuzz_leading_number="app/NumberText.cpp"
sources_fuzz_coordinate_formats="geometry/CoordinateFormats.cpp geometry/Contour.cpp \
  geometry/Repanel.cpp app/NumberText.cpp"

seed_fuzz_airfoil_file() {
    cp "$repo"/data/*.arf "$1"/ 2>/dev/null || true
    printf 'Sample section\n5\n1, 1.0, 0.0\n2, 0.5, -0.06\n3, 0.0, 0.0\n4, 0.5, 0.06\n5, 1.0, 0.0\n' >"$1/specimen"
    printf '"Quoted, name"\r\n3\r\n0 1 0\r\n1\t.5e0 -1E-2\r\n2,,1.,0\r\ntrailing text' >"$1/quoted"
    printf 'n\n2\n1 1e400 0\n2 nan 0\n' >"$1/bad"
    cat >"$1.dict" <<'DICT'
"\x22"
","
"\x0d\x0a"
"\x09"
" "
"e-"
"E+"
"."
"-"
"1000"
"1001"
"nan"
"inf"
"1e999"
"\xef\xbb\xbf"
DICT
}

seed_fuzz_coordinate_formats() {
    printf 'NACA 0012 selig\n1.0 0.00126\n0.5 0.0441\n0.0 0.0\n0.5 -0.0441\n1.0 -0.00126\n' >"$1/selig"
    printf 'LEDNICER\n3. 3.\n\n0 0\n0.5, 0.06\n1 0.001\n\n0 0\n0.5\t-0.06\n1 -0.001\n' >"$1/lednicer"
    printf '# plain\n1 0\n0 0.1\n0 -0.1\n1 0.1\n0.5 -0.2\n1 0\n' >"$1/crossing"
    printf 'few\n1 0\n0 0\n' >"$1/few"
    cat >"$1.dict" <<'DICT'
"\x0a"
"\x0d\x0a"
"\x09"
","
" "
"#"
"."
"-"
"e-"
"1e308"
"61. 61."
"1.0 0.0"
"0 0"
DICT
}

seed_fuzz_leading_number() {
    for s in '12.5' ' -1.5e-3 deg' '&HFF' '&o777' '-&H1' '1 2' '0,5' '1e400' '.5E+2x' \
             '0.000000000000000000000000000001e-300' '&H123456789ABCDEF0123456789ABCDEF'; do
        printf '%s' "$s" >"$1/$(printf '%s' "$s" | od -An -tx1 | tr -d ' \n' | cut -c1-40)"
    done
    cat >"$1.dict" <<'DICT'
"&H"
"&O"
"&h"
"&o"
"e"
"E-"
"E+"
"."
"-"
"+"
" "
"\x09"
"\x0a"
"\x0d"
"999999999"
DICT
}

status=0
for target in $targets; do
    eval "sources=\${sources_$target:-}"
    if [ -z "$sources" ]; then
        echo "unknown target: $target" >&2
        exit 2
    fi
    echo "== building $target"
    srcs=""
    for s in $sources; do srcs="$srcs $repo/$s"; done
    # shellcheck disable=SC2086
    "$CXX" $flags "$repo/tools/fuzz/$target.cpp" $srcs -o "$work/$target"

    corpus="$work/$target.corpus"
    mkdir -p "$corpus" "$work/$target.crashes"
    "seed_$target" "$corpus"

    echo "== running $target for $seconds s"
    if ! (cd "$work" && "./$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
            -max_len=16384 -print_final_stats=1 -dict="$corpus.dict" \
            -artifact_prefix="$work/$target.crashes/" "$corpus" >"$work/$target.log" 2>&1); then
        keep=1
        status=1
        echo "!! $target found a fault; log and input kept in $work" >&2
        tail -n 40 "$work/$target.log" >&2
    else
        grep -E '^stat::number_of_executed_units|^Done' "$work/$target.log" || true
    fi
done
exit $status
