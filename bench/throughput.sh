#!/usr/bin/env bash
# Times, in one run on one file system: lumiva-gen writing 2 million rays, a START run of
# the window model, the naive writer of the same rays (one fprintf("%e") per field), and
# a plain copy of the same bytes. Checks that the files are identical and prints one table
# of rays per second and the ratios to the copy and to the naive writer.
#   bench/throughput.sh [BUILD_DIR] [RAYS]
# REPEAT=n (default 5) times every command but the naive writer n times and keeps the
# median; MEMORY=0 leaves out the 100-million-ray memory check.
#
# Each command starts after a sync, so that no command pays for writing back what an
# earlier one left in the page cache (that made a copy look several times slower than it
# is). The first rows of a case end when the command does, with the file in the page
# cache; the "+ sync" rows also wait until it is on the disk.
set -euo pipefail
build=${1:-build}
rays=${2:-2000000}
repeat=${REPEAT:-5}
gen="$build/cli/lumiva-gen"
naive="$build/bench/naive_writer"
window="$(cd "$build" && pwd)/bench/window_run"
work=$(mktemp -d "${TMPDIR:-/tmp}/lumiva-throughput.XXXXXX")
trap 'rm -rf "$work"' EXIT

seconds() { # command... -> elapsed seconds of one run on stdout, after a sync
    local start end
    sync
    start=$(date +%s.%N)
    "$@" > /dev/null
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { print b - a }'
}

median() { # RUNS OUTPUT command... -> median elapsed seconds of RUNS runs, OUTPUT removed first
    local runs=$1 output=$2 i
    shift 2
    for ((i = 0; i < runs; ++i)); do
        rm -f "$output"
        seconds "$@"
    done | sort -g | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'
}

copy() { cp "$work/gen.dat" "$work/copy.dat"; }
copy_sync() { copy && sync; }
gen_sync() { "$gen" "$@" && sync; }

printf '%-36s %14s %12s %12s\n' "case" "rays/s" "vs copy" "vs naive"
for case in lambertian angular-ellipse; do
    flags=(--type lambertian --nax 0.99 --nay 0.99 --seed 7 --quiet -n "$rays")
    [ "$case" = angular-ellipse ] && flags+=(--shape elliptical --smooth angular)
    # The window reads its output path and distribution files from lumiva.cfg.
    mkdir -p "$work/window"
    printf 'ray1.txt\r\n%s\r\nnone.ang\r\nnone.ang\r\n30000\r\n3500\r\n\r\n\r\n360\r\n\r\n0.99\r\n\r\n0.99\r\n0.001\r\n0.001\r\nnone.spa\r\nnone.spa\r\n' \
        "$work/window.dat" > "$work/window/lumiva.cfg"
    printf '0 90 \r\n\r\n100 0 \r\n' > "$work/window/none.ang"
    printf '0 1 \r\n\r\n100 100 \r\n' > "$work/window/none.spa"

    t_naive=$(median 1 "$work/naive.dat" "$naive" "$work/naive.dat" "$rays" 7 "$case")
    t_gen=$(median "$repeat" "$work/gen.dat" "$gen" -o "$work/gen.dat" "${flags[@]}")
    t_window=$(median "$repeat" "$work/window.dat" "$window" "$work/window" "$rays" 7 "$case")
    cmp -s "$work/gen.dat" "$work/naive.dat" || { echo "$case: lumiva-gen and the naive writer differ" >&2; exit 1; }
    cmp -s "$work/gen.dat" "$work/window.dat" || { echo "$case: the window run and lumiva-gen differ" >&2; exit 1; }
    rm -f "$work/naive.dat" "$work/window.dat"
    t_copy=$(median "$repeat" "$work/copy.dat" copy)
    t_copy_sync=$(median "$repeat" "$work/copy.dat" copy_sync)
    t_gen_sync=$(median "$repeat" "$work/gen.dat" gen_sync -o "$work/gen.dat" "${flags[@]}")
    for row in "lumiva-gen:$t_gen:$t_copy" "window run:$t_window:$t_copy" \
               "naive fprintf:$t_naive:$t_copy" "plain copy:$t_copy:$t_copy" \
               "lumiva-gen + sync:$t_gen_sync:$t_copy_sync" "plain copy + sync:$t_copy_sync:$t_copy_sync"; do
        IFS=: read -r label t base <<< "$row"
        awk -v c="$case / $label" -v n="$rays" -v t="$t" -v copy="$base" -v naive="$t_naive" \
            'BEGIN { printf "%-36s %14.0f %11.2fx %11.2fx\n", c, n / t, t / copy, t / naive }'
    done
    rm -f "$work"/*.dat
done

# Memory stays flat in N: 100 million rays to /dev/null.
if [ -x /usr/bin/time ] && [ "${MEMORY:-1}" = 1 ]; then
    rss=$(/usr/bin/time -f %M "$gen" -o /dev/null -n 100000000 --type lambertian --nax 0.99 --nay 0.99 \
        --seed 7 --quiet 2>&1 >/dev/null | tail -n 1)
    echo "lumiva-gen, 100000000 rays to /dev/null: peak resident memory $((rss / 1024)) MiB"
fi
