#!/usr/bin/env bash
# Installs what Morvane needs, builds it in Release and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake --preset release
cmake --build --preset release
# The program folder is the current folder, as the desktop entry's Path= makes it.
cd build/release/bin
exec ./morvane "$@"
