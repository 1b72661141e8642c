#!/bin/sh
# Start-up of the main window beside a bare QMainWindow and the same window with one
# Chinese QLabel, in one run, alternating: each process runs from its start to its window's
# first paint and its end, off-screen. Prints the median of each and its ratio to the bare
# window.
#
#   bench/startup.sh [runs] [build dir]     (default: 10 runs, build/)
set -eu
runs=${1:-10}
build=${2:-$(dirname "$0")/../build}
bench="$build/bench"
export QT_QPA_PLATFORM=offscreen

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# time_ms <file> <command...>: runs the command once, appends its wall time in ms.
time_ms() {
    out=$1
    shift
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    echo $(((end - start) / 1000)) >>"$out"
}

# Warm the caches first.
"$bench/bench_startup_bare" --bare >/dev/null 2>&1
"$bench/bench_startup_bare" --label >/dev/null 2>&1
"$bench/bench_startup" >/dev/null 2>&1

i=0
while [ "$i" -lt "$runs" ]; do
    time_ms "$tmp/bare" "$bench/bench_startup_bare" --bare
    time_ms "$tmp/label" "$bench/bench_startup_bare" --label
    time_ms "$tmp/main" "$bench/bench_startup"
    i=$((i + 1))
done

median() {
    sort -n "$1" | awk '{ v[NR] = $1 } END {
        if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

bare=$(median "$tmp/bare")
printf '%-44s %10s %8s\n' "program (median of $runs)" "time" "ratio"
for which in bare label main; do
    case $which in
        bare) name="a bare QMainWindow" ;;
        label) name="the same with one Chinese QLabel" ;;
        main) name="Trackoro's main window" ;;
    esac
    m=$(median "$tmp/$which")
    awk -v n="$name" -v m="$m" -v b="$bare" \
        'BEGIN { printf "%-44s %7.1f ms %8.2f\n", n, m / 1000, m / b }'
done
