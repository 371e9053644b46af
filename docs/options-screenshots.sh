#!/usr/bin/env bash
# Retakes docs/options.png (the options dialog as it opens), docs/options-<page>.png for
# each of its five pages and docs/add-junk-type.png, as docs/screenshots.sh takes every
# picture (zh_CN.UTF-8, a virtual X screen with a window manager). Usage: bash
# docs/options-screenshots.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
exec bash docs/screenshots.sh "${1:-build/debug}" options
