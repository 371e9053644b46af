#!/usr/bin/env bash
# Retakes docs/options.png (the options dialog as it opens), docs/options-<page>.png for
# each of its five pages and docs/add-junk-type.png from the real dialogs on a virtual X
# screen. Usage: bash docs/options-screenshots.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build/debug}
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug
fi
cmake --build "$BUILD" --target morvane_uitests_options
MORVANE_OPTION_SCREENSHOTS="$PWD/docs" QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$BUILD/bin/morvane_uitests_options" --gtest_filter='OptionScreenshots.*'
echo "docs/options.png docs/options-*.png docs/add-junk-type.png"
