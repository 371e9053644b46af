#!/bin/sh
# Draws the analysis window at My Computer into docs/analysis-drives.png and its list in
# each view style into docs/analysis-large-icons.png, -small-icons, -list and -report, and
# the pie of a folder into docs/analysis.png.
# Usage: docs/analysis-screenshots.sh <build dir>
set -e
build=${1:-build/debug}
MORVANE_SHOT_DIR=$(cd "$(dirname "$0")" && pwd) xvfb-run -a \
    "$build/bin/morvane_uitests_analysis" --gtest_filter='FrmMain.ShowsMyComputer*:AnalysisList.ShowsEachViewStyle:ChartPanelTest.ScreenshotOfTheFolderPie'
