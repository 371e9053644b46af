#!/usr/bin/env bash
# Retakes docs/clean.png: the cleaning window after a real scan of a small generated home,
# drawn on a virtual X screen. Usage: bash docs/clean-screenshots.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build/debug}
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug
fi
cmake --build "$BUILD" --target morvane_screenshots
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
xvfb-run -a -s "-screen 0 1280x1024x24" "$BUILD/bin/morvane_screenshots" "$out"
cp "$out/clean.png" docs/clean.png
echo "docs/clean.png"
