#!/usr/bin/env bash
# Retakes the analysis window's pictures: docs/analysis-drives.png (My Computer),
# docs/analysis-<view>.png (the list in each view style) and docs/analysis.png (the pie of
# a folder), as docs/screenshots.sh takes every picture (zh_CN.UTF-8, a virtual X screen
# with a window manager). Usage: bash docs/analysis-screenshots.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
exec bash docs/screenshots.sh "${1:-build/debug}" analysis
