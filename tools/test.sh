#!/usr/bin/env bash
# Builds Morvane and runs every test suite. Installs the build dependencies first when
# they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake --preset debug
cmake --build --preset debug
ctest --preset debug
