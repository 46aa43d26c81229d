#!/usr/bin/env bash
# Times, in one run on one file system: lumiva-gen writing 2 million rays, the naive
# writer of the same rays (one fprintf("%e") per field), and a plain copy of the same
# bytes. Checks that all three files are identical and prints the ratios.
#   bench/throughput.sh [BUILD_DIR] [RAYS]
set -euo pipefail
build=${1:-build}
rays=${2:-2000000}
gen="$build/cli/lumiva-gen"
naive="$build/bench/naive_writer"
work=$(mktemp -d "${TMPDIR:-/tmp}/lumiva-throughput.XXXXXX")
trap 'rm -rf "$work"' EXIT

seconds() { # command... -> elapsed seconds on stdout
    local start end
    start=$(date +%s.%N)
    "$@" > /dev/null
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { print b - a }'
}

printf '%-34s %14s %12s %12s\n' "case" "rays/s" "vs copy" "vs naive"
for case in lambertian angular-ellipse; do
    flags=(--type lambertian --nax 0.99 --nay 0.99 --seed 7 --quiet -n "$rays")
    [ "$case" = angular-ellipse ] && flags+=(--shape elliptical --smooth angular)
    t_gen=$(seconds "$gen" -o "$work/gen.dat" "${flags[@]}")
    t_naive=$(seconds "$naive" "$work/naive.dat" "$rays" 7 "$case")
    t_copy=$(seconds cp "$work/gen.dat" "$work/copy.dat")
    cmp -s "$work/gen.dat" "$work/naive.dat" || { echo "$case: lumiva-gen and the naive writer differ" >&2; exit 1; }
    for name in "lumiva-gen:$t_gen" "naive fprintf:$t_naive" "plain copy:$t_copy"; do
        label=${name%%:*}; t=${name#*:}
        awk -v c="$case / $label" -v n="$rays" -v t="$t" -v copy="$t_copy" -v naive="$t_naive" \
            'BEGIN { printf "%-34s %14.0f %11.2fx %11.2fx\n", c, n / t, t / copy, t / naive }'
    done
    rm -f "$work"/*.dat
done
