#!/usr/bin/env bash
# Builds the benchmark programs in Release and times them against their peers on trees
# generated in a temporary folder (removed afterwards), warm cache, median of ROUNDS.
# Prints one line per benchmark: "bench <name>: ours <s> s, <peer> <s> s, ratio <ours/peer>".
# Usage: bench/run.sh [benchmark-name ...]   (default: all)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD="$ROOT/build/bench"
ROUNDS=${ROUNDS:-5}

# Warnings are not errors here: GCC's -O3 raises false alarms that the Debug build,
# which CI lints, does not.
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORVANE_BUILD_UI=OFF \
      -DMORVANE_BUILD_TESTS=OFF -DMORVANE_WERROR=OFF >/dev/null
WORK=$(mktemp -d "${TMPDIR:-/tmp}/morvane-bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

# Seconds taken by one run of a command, output discarded.
time_once() {
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f", b - a }' 
}

# Median of ROUNDS warm runs (one run first to warm the cache).
median_time() {
    "$@" >/dev/null 2>&1 || true
    local samples=()
    for ((i = 0; i < ROUNDS; i++)); do
        samples+=("$(time_once "$@")")
    done
    printf '%s\n' "${samples[@]}" | sort -g | awk '{ a[NR] = $1 } END { printf "%.3f", a[int((NR + 1) / 2)] }'
}

# bench_line NAME OURS PEER-NAME PEER
bench_line() {
    printf 'bench %s: ours %s s, %s %s s, ratio %.2f\n' "$1" "$2" "$3" "$4" "$(awk -v a="$2" -v b="$4" 'BEGIN { print (b > 0 ? a / b : 0) }')"
}

bench_folder_total() {
    cmake --build "$BUILD" --target folder_total make_tree >/dev/null
    local tree="$WORK/folder-total"
    mkdir -p "$tree"
    echo "generating 1,000,000 entries in 50,000 folders..." >&2
    "$BUILD/bin/make_tree" "$tree" 50000 950000 >&2
    local ours du find ourTotal duTotal
    ourTotal=$("$BUILD/bin/folder_total" "$tree")
    # du counts each folder's own size too; ours counts folders as 0.
    duTotal=$(du -s -b -x "$tree" | cut -f1)
    echo "totals: ours $ourTotal bytes, du $duTotal bytes (folders included)" >&2
    ours=$(median_time "$BUILD/bin/folder_total" "$tree")
    du=$(median_time du -s --apparent-size -x "$tree")
    find=$(median_time find "$tree" -xdev -type f)
    bench_line folder-total "$ours" du "$du"
    bench_line folder-total-find "$ours" find "$find"
    rm -rf "$tree"
}

bench_junk_scan() {
    cmake --build "$BUILD" --target junk_scan make_tree >/dev/null
    local tree="$WORK/junk-scan"
    mkdir -p "$tree"
    echo "generating ${JUNK_ENTRIES:-1000000} entries for the junk scan..." >&2
    "$BUILD/bin/make_tree" "$tree" $((${JUNK_ENTRIES:-1000000} / 20)) $((${JUNK_ENTRIES:-1000000} * 19 / 20)) >&2
    "$BUILD/bin/junk_scan" "$tree" >&2
    local ours ourszero du
    ours=$(median_time "$BUILD/bin/junk_scan" "$tree")
    ourszero=$(median_time "$BUILD/bin/junk_scan" "$tree" --zero-dir)
    du=$(median_time du -s --apparent-size -x "$tree")
    bench_line junk-scan "$ours" du "$du"
    bench_line junk-scan-empty-folders "$ourszero" du "$du"
    rm -rf "$tree"
}

bench_analysis() {
    cmake --build "$BUILD" --target analysis_chart make_tree >/dev/null
    local tree="$WORK/analysis" flat="$WORK/analysis-flat"
    mkdir -p "$tree" "$flat"
    echo "generating 1,000,000 entries and a folder of 200,000 files..." >&2
    "$BUILD/bin/make_tree" "$tree" 50000 950000 >&2
    (cd "$flat" && seq -f "file%.0f.txt" 1 200000 | xargs touch)
    local total pie du browse ls
    total=$(median_time "$BUILD/bin/analysis_chart" total "$tree")
    pie=$(median_time "$BUILD/bin/analysis_chart" pie "$tree")
    du=$(median_time du -s --apparent-size -x "$tree")
    bench_line analysis-total "$total" du "$du"
    bench_line analysis-pie "$pie" du "$du"
    "$BUILD/bin/analysis_chart" browse "$flat" >/dev/null
    browse=$(median_time "$BUILD/bin/analysis_chart" browse "$flat")
    ls=$(median_time sh -c "ls -1 '$flat' | wc -l")
    bench_line analysis-browse "$browse" ls "$ls"
    rm -rf "$tree" "$flat"
}

ALL=(folder_total junk_scan analysis)
SELECTED=("${@:-${ALL[@]}}")
for name in "${SELECTED[@]}"; do
    "bench_${name//-/_}"
done
