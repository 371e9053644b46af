#!/usr/bin/env bash
# Retakes docs/clean.png: the cleaning window after a real scan of a small generated home,
# as docs/screenshots.sh takes every picture (zh_CN.UTF-8, a virtual X screen with a
# window manager). Usage: bash docs/clean-screenshots.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
exec bash docs/screenshots.sh "${1:-build/debug}" clean
