#!/usr/bin/env bash
# Builds Morvane and runs every test suite: the Linux build's suites under C.UTF-8 and
# again under zh_CN.UTF-8, its window suites once more under Xvfb with a window manager,
# and a smoke test of the program as a new user starts it (tools/test-desktop.sh); then
# the engines and the platform layer cross-built for Windows, run under wine (64-bit),
# and compiled for 32-bit Windows. Installs the build dependencies first when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh

cmake --preset debug
cmake --build --preset debug
bash tools/test-desktop.sh

bash tools/test-windows.sh
