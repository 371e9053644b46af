#!/usr/bin/env bash
# Builds Morvane and runs every test suite: the Linux build with its windows (offscreen),
# then the engines and the platform layer cross-built for Windows, run under wine (64-bit),
# and compiled for 32-bit Windows. Installs the build dependencies first when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh

cmake --preset debug
cmake --build --preset debug
ctest --preset debug

bash tools/test-windows.sh
