#!/usr/bin/env bash
# Retakes docs/update-ask.png and docs/update-wizard.png from the real windows on a
# virtual X screen. Usage: bash docs/update-screenshots.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build/debug}
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug
fi
cmake --build "$BUILD" --target morvane_update_screenshots
xvfb-run -a -s "-screen 0 1280x1024x24" "$BUILD/bin/morvane_update_screenshots" docs
echo "docs/update-ask.png docs/update-wizard.png"
