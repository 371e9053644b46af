#!/bin/sh
# Draws the analysis window at My Computer into docs/analysis-drives.png.
# Usage: docs/analysis-screenshots.sh <build dir>
set -e
build=${1:-build/debug}
MORVANE_SHOT_DIR=$(cd "$(dirname "$0")" && pwd) xvfb-run -a \
    "$build/bin/morvane_uitests_analysis" --gtest_filter='FrmMain.ShowsMyComputer*'
