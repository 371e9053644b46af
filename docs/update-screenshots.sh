#!/usr/bin/env bash
# Retakes docs/update-ask.png and docs/update-wizard.png, as docs/screenshots.sh takes
# every picture (zh_CN.UTF-8, a virtual X screen with a window manager). Usage: bash
# docs/update-screenshots.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
exec bash docs/screenshots.sh "${1:-build/debug}" update
