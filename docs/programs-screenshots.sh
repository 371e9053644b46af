#!/usr/bin/env bash
# Retakes docs/programs.png: the program manager with this machine's own applications, as
# docs/screenshots.sh takes every picture (zh_CN.UTF-8, a virtual X screen with a window
# manager). Usage: bash docs/programs-screenshots.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
exec bash docs/screenshots.sh "${1:-build/debug}" programs
