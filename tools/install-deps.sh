#!/usr/bin/env bash
# Installs every Debian 12 package that building, testing and looking at Morvane needs.
set -euo pipefail
PACKAGES=(
    cmake ninja-build g++ pkg-config git
    qt6-base-dev qt6-charts-dev libqt6opengl6-dev libqt6svg6-dev qt6-image-formats-plugins
    libsystemd-dev libcurl4-openssl-dev libsodium-dev libsqlite3-dev
    libgtest-dev libgmock-dev
    fp-utils clang libclang-rt-14-dev
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64 wine googletest
    xvfb xauth fonts-wqy-microhei xdg-utils
    librsvg2-bin dpkg-dev file lintian desktop-file-utils appstream
    locales openbox xdotool x11-utils
)
missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
