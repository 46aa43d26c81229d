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
window="$(cd "$build" && pwd)/bench/window_run"
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
    # The window reads its output path and distribution files from lumiva.cfg.
    mkdir -p "$work/window"
    printf 'ray1.txt\r\n%s\r\nnone.ang\r\nnone.ang\r\n30000\r\n3500\r\n\r\n\r\n360\r\n\r\n0.99\r\n\r\n0.99\r\n0.001\r\n0.001\r\nnone.spa\r\nnone.spa\r\n' \
        "$work/window.dat" > "$work/window/lumiva.cfg"
    printf '0 90 \r\n\r\n100 0 \r\n' > "$work/window/none.ang"
    printf '0 1 \r\n\r\n100 100 \r\n' > "$work/window/none.spa"
    t_window=$(seconds "$window" "$work/window" "$rays" 7 "$case")
    t_copy=$(seconds cp "$work/gen.dat" "$work/copy.dat")
    cmp -s "$work/gen.dat" "$work/naive.dat" || { echo "$case: lumiva-gen and the naive writer differ" >&2; exit 1; }
    cmp -s "$work/gen.dat" "$work/window.dat" || { echo "$case: the window run and lumiva-gen differ" >&2; exit 1; }
    for name in "lumiva-gen:$t_gen" "window run:$t_window" "naive fprintf:$t_naive" "plain copy:$t_copy"; do
        label=${name%%:*}; t=${name#*:}
        awk -v c="$case / $label" -v n="$rays" -v t="$t" -v copy="$t_copy" -v naive="$t_naive" \
            'BEGIN { printf "%-34s %14.0f %11.2fx %11.2fx\n", c, n / t, t / copy, t / naive }'
    done
    rm -f "$work"/*.dat
done

# Memory stays flat in N: 100 million rays to /dev/null.
if [ -x /usr/bin/time ] && [ "${MEMORY:-1}" = 1 ]; then
    rss=$(/usr/bin/time -f %M "$gen" -o /dev/null -n 100000000 --type lambertian --nax 0.99 --nay 0.99 \
        --seed 7 --quiet 2>&1 >/dev/null | tail -n 1)
    echo "lumiva-gen, 100000000 rays to /dev/null: peak resident memory $((rss / 1024)) MiB"
fi
