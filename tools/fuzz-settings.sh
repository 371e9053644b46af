#!/usr/bin/env bash
# Builds the settings reader's libFuzzer target with clang and runs it for a minute
# (or for the number of seconds given as the first argument). Findings land in
# build/fuzz/findings/; a crash makes the script fail.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
build="$root/build/fuzz"

cmake --preset fuzz -S "$root" >/dev/null
cmake --build "$build" --target morvane_fuzz_settings

corpus="$build/corpus/settings"
findings="$build/findings"
mkdir -p "$corpus" "$findings"

# A few valid records so that the fuzzer starts from the file's real shape.
printf '\x09AutoClean\x08\x0cSlicePercent\x02\x0a' >"$corpus/records"
printf '\x0dLastCleanDate\x05\x00\x00\x00\x00\x00\x00\x00\x80\xff\x3f' >"$corpus/date"
printf '\x08ShowTips\x07\x04TRUE\x0dLastCleanDate\x13\x0d\x9b\x00\x00\x00\x00\x00\x00' >"$corpus/tags"

"$build/bin/morvane_fuzz_settings" "$corpus" \
    -max_total_time="$seconds" -max_len=4096 -artifact_prefix="$findings/" -print_final_stats=1
