#!/usr/bin/env bash
# Retakes the screenshots in docs/ from the real windows, drawn on a virtual X screen with
# the Chinese fonts of fonts-wqy-microhei. Usage: bash docs/screenshots.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build/debug}
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug
fi
cmake --build "$BUILD" --target morvane_screenshots
xvfb-run -a -s "-screen 0 1280x1024x24" "$BUILD/bin/morvane_screenshots" docs
echo "docs/splash.png docs/launcher.png docs/tips.png docs/about.png docs/clean.png docs/options-*.png docs/add-junk-type.png docs/privacy.png docs/programs.png"
