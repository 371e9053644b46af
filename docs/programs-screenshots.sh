#!/usr/bin/env bash
# Retakes docs/programs.png: the program manager with this machine's own applications,
# drawn on a virtual X screen. Usage: bash docs/programs-screenshots.sh [build folder]
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
cp "$out/programs.png" docs/programs.png
echo "docs/programs.png"
