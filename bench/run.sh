#!/usr/bin/env bash
# Builds the benchmark programs in Release and times them against their peers on trees
# generated in a temporary folder (removed afterwards), warm cache.
#
#   bash bench/run.sh                 all benchmarks (the speed targets are in "analysis")
#   bash bench/run.sh analysis        only the analysis window's targets, which print
#                                     PASS or MISS:
#     - the total of a 1,000,000-entry tree (CalcDirectorySize) takes at most 0.8 x
#       `du -s --apparent-size -x` on it; the pie of the tree's root (one slice per top
#       folder, one walk) is printed beside it;
#     - entering a folder of 200,000 files (listing, names, sort) takes at most 1.0 x
#       `ls -1 FOLDER | wc -l`, and the first screen of 40 rows with all their details
#       is ready within 100 ms after that.
#
# Each round runs ours and the peer one after the other, so a change in the machine's
# load falls on both; the figures are medians of ROUNDS rounds after one warming run.
# Ratios are of wall times; CPU times (user + system) are printed too, since on a busy
# machine a program that uses several cores gains less than on an idle one.
# Environment: ROUNDS (default 5), BUILD (build folder, default build/bench), TMPDIR
# (where the trees are made: a local disk with 1.1 million free inodes), ENTRIES and
# FLAT_FILES (tree and folder sizes, default 1000000 and 200000).
# Other lines: "bench <name>: ours <s> s, <peer> <s> s, ratio <ours/peer>".
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=${BUILD:-$ROOT/build/bench}
ROUNDS=${ROUNDS:-5}
ENTRIES=${ENTRIES:-1000000}
FLAT_FILES=${FLAT_FILES:-200000}

# Warnings are not errors here: GCC's -O3 raises false alarms that the Debug build,
# which CI lints, does not.
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORVANE_BUILD_UI=OFF \
      -DMORVANE_BUILD_TESTS=OFF -DMORVANE_WERROR=OFF >/dev/null
WORK=$(mktemp -d "${TMPDIR:-/tmp}/morvane-bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

# "wall user+system" seconds of one run of a command, output discarded.
time_once() {
    local TIMEFORMAT='%R %U %S' t
    t=$( { time "$@" >/dev/null 2>&1; } 2>&1 )
    awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }' <<<"$t"
}

# Seconds taken by one run of a command (wall), output discarded.
wall_once() {
    time_once "$@" | cut -d' ' -f1
}

# Median of ROUNDS warm runs (one run first to warm the cache).
median_time() {
    "$@" >/dev/null 2>&1 || true
    local samples=()
    for ((i = 0; i < ROUNDS; i++)); do
        samples+=("$(wall_once "$@")")
    done
    median "${samples[@]}"
}

# Median of the numbers given.
median() {
    printf '%s\n' "$@" | sort -g | awk '{ a[NR] = $1 } END { printf "%.3f", a[int((NR + 1) / 2)] }'
}

ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'
}

# PASS when value <= limit.
verdict() {
    awk -v a="$1" -v b="$2" 'BEGIN { print (a <= b ? "PASS" : "MISS") }'
}

# The tree of ENTRIES entries (a twentieth of them folders), made once per run.
big_tree() {
    local tree="$WORK/tree"
    if [[ ! -d $tree ]]; then
        cmake --build "$BUILD" --target make_tree >/dev/null
        mkdir -p "$tree"
        echo "generating $ENTRIES entries in $((ENTRIES / 20)) folders..." >&2
        "$BUILD/bin/make_tree" "$tree" $((ENTRIES / 20)) $((ENTRIES * 19 / 20)) >&2
    fi
    echo "$tree"
}

# bench_line NAME OURS PEER-NAME PEER
bench_line() {
    printf 'bench %s: ours %s s, %s %s s, ratio %.2f\n' "$1" "$2" "$3" "$4" "$(awk -v a="$2" -v b="$4" 'BEGIN { print (b > 0 ? a / b : 0) }')"
}

bench_folder_total() {
    cmake --build "$BUILD" --target folder_total >/dev/null
    local tree ours du find ourTotal duTotal
    tree=$(big_tree)
    ourTotal=$("$BUILD/bin/folder_total" "$tree")
    # du counts each folder's own size too; ours counts folders as 0.
    duTotal=$(du -s -b -x "$tree" | cut -f1)
    echo "totals: ours $ourTotal bytes, du $duTotal bytes (folders included)" >&2
    ours=$(median_time "$BUILD/bin/folder_total" "$tree")
    du=$(median_time du -s --apparent-size -x "$tree")
    find=$(median_time find "$tree" -xdev -type f)
    bench_line folder-total "$ours" du "$du"
    bench_line folder-total-find "$ours" find "$find"
}

bench_junk_scan() {
    cmake --build "$BUILD" --target junk_scan make_tree >/dev/null
    local tree="$WORK/junk-scan"
    if [[ -z ${JUNK_ENTRIES:-} ]]; then
        tree=$(big_tree)
    else
        mkdir -p "$tree"
        echo "generating $JUNK_ENTRIES entries for the junk scan..." >&2
        "$BUILD/bin/make_tree" "$tree" $((JUNK_ENTRIES / 20)) $((JUNK_ENTRIES * 19 / 20)) >&2
    fi
    "$BUILD/bin/junk_scan" "$tree" >&2
    local ours ourszero du
    ours=$(median_time "$BUILD/bin/junk_scan" "$tree")
    ourszero=$(median_time "$BUILD/bin/junk_scan" "$tree" --zero-dir)
    du=$(median_time du -s --apparent-size -x "$tree")
    bench_line junk-scan "$ours" du "$du"
    bench_line junk-scan-empty-folders "$ourszero" du "$du"
}

# The analysis window's speed targets (see the top of this file).
bench_analysis() {
    cmake --build "$BUILD" --target analysis_chart >/dev/null
    local chart="$BUILD/bin/analysis_chart" tree flat="$WORK/flat" expected ours
    tree=$(big_tree)
    # The total must be exact: every entry but the folders, counted once.
    expected=$(find "$tree" -xdev ! -type d -printf '%s\n' | awk '{ s += $1 } END { printf "%.0f\n", s }')
    ours=$("$chart" total "$tree")
    echo "totals: ours $ours bytes, find $expected bytes ($([[ $ours == "$expected" ]] && echo equal || echo DIFFERENT))" >&2
    echo "pie: $("$chart" pie "$tree")" >&2

    # Interleaved rounds after a warming run of each.
    local total=() totalCpu=() du=() duCpu=() pie=() pieCpu=() t
    "$chart" total "$tree" >/dev/null; du -s --apparent-size -x "$tree" >/dev/null; "$chart" pie "$tree" >/dev/null
    for ((i = 0; i < ROUNDS; i++)); do
        read -r w c < <(time_once "$chart" total "$tree"); total+=("$w"); totalCpu+=("$c")
        read -r w c < <(time_once du -s --apparent-size -x "$tree"); du+=("$w"); duCpu+=("$c")
        read -r w c < <(time_once "$chart" pie "$tree"); pie+=("$w"); pieCpu+=("$c")
        echo "  round $((i + 1)): total ${total[i]} s, du ${du[i]} s, pie ${pie[i]} s" >&2
    done
    local mt md mp
    mt=$(median "${total[@]}"); md=$(median "${du[@]}"); mp=$(median "${pie[@]}")
    t=$(ratio "$mt" "$md")
    printf 'bench analysis-total: ours %s s, du %s s, ratio %s (target <= 0.80: %s); cpu %s s vs %s s, ratio %s\n' \
        "$mt" "$md" "$t" "$(verdict "$t" 0.80)" "$(median "${totalCpu[@]}")" "$(median "${duCpu[@]}")" \
        "$(ratio "$(median "${totalCpu[@]}")" "$(median "${duCpu[@]}")")"
    printf 'bench analysis-pie: ours %s s, du %s s, ratio %s; cpu %s s vs %s s, ratio %s\n' \
        "$mp" "$md" "$(ratio "$mp" "$md")" "$(median "${pieCpu[@]}")" "$(median "${duCpu[@]}")" \
        "$(ratio "$(median "${pieCpu[@]}")" "$(median "${duCpu[@]}")")"

    echo "generating a folder of $FLAT_FILES files..." >&2
    mkdir -p "$flat"
    (cd "$flat" && seq -f "file%.0f.txt" 1 "$FLAT_FILES" | xargs touch)
    local enter=() first=() process=() ls=() line rows
    "$chart" browse "$flat" >/dev/null; ls -1 "$flat" | wc -l >/dev/null
    for ((i = 0; i < ROUNDS; i++)); do
        local TIMEFORMAT='%R'
        t=$( { time "$chart" browse "$flat" >"$WORK/browse.out" 2>/dev/null; } 2>&1 )
        line=$(cat "$WORK/browse.out")
        process+=("$t")
        rows=$(awk '{ print $2 }' <<<"$line")
        enter+=("$(awk '{ printf "%.3f", $4 / 1000 }' <<<"$line")")
        first+=("$(awk '{ print $6 }' <<<"$line")")
        ls+=("$(wall_once sh -c "ls -1 '$flat' | wc -l")")
        echo "  round $((i + 1)): enter ${enter[i]} s (whole program $t s), first screen ${first[i]} ms, ls ${ls[i]} s" >&2
    done
    [[ $rows == "$FLAT_FILES" ]] || echo "browse listed $rows rows, not $FLAT_FILES" >&2
    local me ml mf mw
    me=$(median "${enter[@]}"); ml=$(median "${ls[@]}"); mf=$(median "${first[@]}"); mw=$(median "${process[@]}")
    t=$(ratio "$me" "$ml")
    printf 'bench analysis-browse: enter %s s, ls %s s, ratio %s (target <= 1.00: %s); whole program %s s, ratio %s\n' \
        "$me" "$ml" "$t" "$(verdict "$t" 1.00)" "$mw" "$(ratio "$mw" "$ml")"
    printf 'bench analysis-first-screen: %s ms for 40 rows with details (target <= 100 ms: %s)\n' \
        "$mf" "$(verdict "$mf" 100)"
    rm -rf "$flat"
}

# ---- Window benchmarks -----------------------------------------------------------------
# The real cleaning and analysis windows, driven by bench/ui/window_bench on the
# offscreen platform, each timed next to its engine alone in the same process:
#   clean-window-scan     the cleaning window's scan of the big tree with ten junk types
#                         checked, against the scan engine alone (target <= 1.15);
#   clean-window-scan-du  the same scan against du -s --apparent-size -x (target <= 0.5);
#   analysis-window-pie   the analysis window's pie of the big tree, drawn, against its
#                         engine alone (target <= 1.15);
#   clean-all-50k         "删除垃圾文件" over 50,000 checked rows against rm of the same
#                         files (target <= 1.5).
# They need the windows, so they are built in a folder of their own (BUILD_UI, default
# BUILD followed by "-ui") with the user interface switched on; the benchmarks above
# keep their build without Qt.
BUILD_UI=${BUILD_UI:-$BUILD-ui}

# The window benchmark program, built in Release with the windows.
window_bench() {
    cmake -S "$ROOT" -B "$BUILD_UI" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORVANE_BUILD_UI=ON \
          -DMORVANE_BUILD_TESTS=OFF -DMORVANE_WERROR=OFF >/dev/null
    echo "building the window benchmark (the windows in Release)..." >&2
    cmake --build "$BUILD_UI" --target window_bench >/dev/null
    echo "$BUILD_UI/bin/window_bench"
}

# window_line NAME OURS PEER-NAME PEER TARGET [OURS-CPU PEER-CPU]
window_line() {
    local r cpu=""
    r=$(ratio "$2" "$4")
    [[ -n ${6:-} ]] && cpu=$(printf '; cpu %s s vs %s s, ratio %s' "$6" "$7" "$(ratio "$6" "$7")")
    printf 'bench %s: ours %s s, %s %s s, ratio %s (target <= %s: %s)%s\n' "$1" "$2" "$3" "$4" "$r" "$5" \
        "$(verdict "$r" "$5")" "$cpu"
}

bench_clean_window_scan() {
    local bench tree line w c window=() engine=() windowCpu=() engineCpu=() du=() duCpu=()
    bench=$(window_bench)
    tree=$(big_tree)
    echo "cleaning window: $("$bench" clean-scan "$tree" 2>/dev/null)" >&2 # warms the cache
    du -s --apparent-size -x "$tree" >/dev/null
    for ((i = 0; i < ROUNDS; i++)); do
        line=$("$bench" clean-scan "$tree" 2>/dev/null)
        window+=("$(awk '{ print $2 }' <<<"$line")"); engine+=("$(awk '{ print $4 }' <<<"$line")")
        windowCpu+=("$(awk '{ print $6 }' <<<"$line")"); engineCpu+=("$(awk '{ print $7 }' <<<"$line")")
        read -r w c < <(time_once du -s --apparent-size -x "$tree"); du+=("$w"); duCpu+=("$c")
        echo "  round $((i + 1)): window ${window[i]} s, engine ${engine[i]} s, du ${du[i]} s" >&2
    done
    local mw mc
    mw=$(median "${window[@]}"); mc=$(median "${windowCpu[@]}")
    window_line clean-window-scan "$mw" engine "$(median "${engine[@]}")" 1.15 "$mc" "$(median "${engineCpu[@]}")"
    window_line clean-window-scan-du "$mw" du "$(median "${du[@]}")" 0.5 "$mc" "$(median "${duCpu[@]}")"
}

bench_analysis_window_pie() {
    local bench tree line window=() engine=() windowCpu=() engineCpu=()
    bench=$(window_bench)
    tree=$(big_tree)
    echo "analysis window: $("$bench" analysis-pie "$tree" 2>/dev/null)" >&2 # warms the cache
    for ((i = 0; i < ROUNDS; i++)); do
        line=$("$bench" analysis-pie "$tree" 2>/dev/null)
        window+=("$(awk '{ print $2 }' <<<"$line")"); engine+=("$(awk '{ print $4 }' <<<"$line")")
        windowCpu+=("$(awk '{ print $6 }' <<<"$line")"); engineCpu+=("$(awk '{ print $7 }' <<<"$line")")
        echo "  round $((i + 1)): window ${window[i]} s, engine ${engine[i]} s" >&2
    done
    window_line analysis-window-pie "$(median "${window[@]}")" engine "$(median "${engine[@]}")" 1.15 \
        "$(median "${windowCpu[@]}")" "$(median "${engineCpu[@]}")"
}

bench_clean_all_50k() {
    local bench folder="$WORK/clean-all" list="$WORK/clean-all.list" line left window=() rm=()
    bench=$(window_bench)
    local count=${CLEAN_ROWS:-50000}
    seq -f "$folder/junk%.0f.bak" 1 "$count" >"$list"
    make_junk() { mkdir -p "$folder" && xargs -d '\n' -a "$list" touch; }
    for ((i = 0; i <= ROUNDS; i++)); do # the first round warms up
        make_junk
        line=$("$bench" clean-all "$folder" 2>/dev/null)
        left=$(find "$folder" -type f | wc -l)
        [[ $(awk '{ print $4 }' <<<"$line") == "$count" && $left == 0 ]] ||
            echo "  the window listed $(awk '{ print $4 }' <<<"$line") rows and left $left files" >&2
        make_junk
        local t
        t=$(wall_once xargs -d '\n' -a "$list" rm -f --)
        ((i == 0)) && continue
        window+=("$(awk '{ print $2 }' <<<"$line")")
        rm+=("$t")
        echo "  round $i: window ${window[i - 1]} s, rm ${rm[i - 1]} s" >&2
    done
    rm -rf "$folder"
    window_line clean-all-50k "$(median "${window[@]}")" rm "$(median "${rm[@]}")" 1.5
}
# ---- end of the window benchmarks --------------------------------------------------------

# The tree delete against rm -rf. A delete uses its tree up, so every round makes two
# identical trees (same generator, same arguments) and times ours on one and rm -rf on
# the other, taking turns at going first; dirty pages are written out before each run.
#   delete-tree        the tree of ENTRIES entries (target: ratio <= 1.2)
#   delete-deep-chain  CHAIN_DEPTH nested folders (default 4000) whose deepest file cannot
#                      be deleted, so both must give up on every level (target: ratio <= 2)
# DELETE_ROUNDS rounds (default 3).
ignoring_failure() { "$@" || true; }

# delete_pair NAME OURS-TARGET PEER-TARGET: times ours and rm -rf on the two targets, in
# turns by round I, appending to the arrays ours, oursCpu, peer and peerCpu.
delete_pair() {
    local w c
    if (($1 % 2 == 0)); then
        read -r w c < <(time_once ignoring_failure "$del" "$2"); ours+=("$w"); oursCpu+=("$c"); sync
        read -r w c < <(time_once ignoring_failure rm -rf "$3"); peer+=("$w"); peerCpu+=("$c")
    else
        read -r w c < <(time_once ignoring_failure rm -rf "$3"); peer+=("$w"); peerCpu+=("$c"); sync
        read -r w c < <(time_once ignoring_failure "$del" "$2"); ours+=("$w"); oursCpu+=("$c")
    fi
}

# bench_delete_line NAME: the medians of the arrays, with the CPU times beside.
bench_delete_line() {
    local mo mp co cp
    mo=$(median "${ours[@]}"); mp=$(median "${peer[@]}"); co=$(median "${oursCpu[@]}"); cp=$(median "${peerCpu[@]}")
    printf 'bench %s: ours %s s, rm -rf %s s, ratio %s; cpu %s s vs %s s, ratio %s\n' \
        "$1" "$mo" "$mp" "$(ratio "$mo" "$mp")" "$co" "$cp" "$(ratio "$co" "$cp")"
}

bench_delete() {
    cmake --build "$BUILD" --target delete_tree make_tree >/dev/null
    local del="$BUILD/bin/delete_tree" rounds=${DELETE_ROUNDS:-3} depth=${CHAIN_DEPTH:-4000}
    local a="$WORK/delete-a" b="$WORK/delete-b" ours=() oursCpu=() peer=() peerCpu=() t kind
    for ((i = 0; i < rounds; i++)); do
        echo "generating two trees of $ENTRIES entries..." >&2
        mkdir -p "$a" "$b"
        "$BUILD/bin/make_tree" "$a" $((ENTRIES / 20)) $((ENTRIES * 19 / 20)) >/dev/null
        "$BUILD/bin/make_tree" "$b" $((ENTRIES / 20)) $((ENTRIES * 19 / 20)) >/dev/null
        sync
        delete_pair "$i" "$a" "$b"
        [[ -e $a || -e $b ]] && echo "a tree was not deleted whole" >&2
        echo "  round $((i + 1)): ours ${ours[i]} s (cpu ${oursCpu[i]} s), rm -rf ${peer[i]} s (cpu ${peerCpu[i]} s)" >&2
        rm -rf "$a" "$b"
    done
    bench_delete_line delete-tree

    ours=() oursCpu=() peer=() peerCpu=()
    for ((i = 0; i < rounds; i++)); do
        mkdir -p "$a" "$b"
        kind=$("$del" --chain "$a" "$depth")
        "$del" --chain "$b" "$depth" >/dev/null
        sync
        delete_pair "$i" "$a" "$b"
        echo "  round $((i + 1)): $depth levels, $kind at the bottom: ours ${ours[i]} s (cpu ${oursCpu[i]} s)," \
             "rm -rf ${peer[i]} s (cpu ${peerCpu[i]} s)" >&2
        for t in "$a" "$b"; do
            "$del" --unchain "$t"
            rm -rf "$t"
        done
    done
    bench_delete_line delete-deep-chain
}

ALL=(folder_total junk_scan analysis clean_window_scan analysis_window_pie clean_all_50k delete)
SELECTED=("${@:-${ALL[@]}}")
echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)" >&2
for name in "${SELECTED[@]}"; do
    "bench_${name//-/_}"
    echo "load after $name: $(cut -d' ' -f1-3 /proc/loadavg)" >&2
done
