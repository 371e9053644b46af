#!/usr/bin/env bash
# The Windows side: cross build with mingw-w64, tests under wine in a prefix of our own.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset windows-x64
cmake --build --preset windows-x64

build=$PWD/build/windows-x64
# Wine takes the ANSI code page from the host locale: make the Chinese one exist when we can.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$' && [ "$(id -u)" -eq 0 ] && command -v localedef >/dev/null; then
    localedef -i zh_CN -f UTF-8 zh_CN.UTF-8 || true
fi
mkdir -p "$build/home/.local/share"
export WINEDEBUG=-all WINEPREFIX=$build/wineprefix HOME=$build/home \
       XDG_DATA_HOME=$build/home/.local/share LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
# A fresh prefix takes a while to create; do it once, before the tests time anything.
[ -f "$WINEPREFIX/system.reg" ] || /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
/usr/lib/wine/wineserver -w || true
# One wine server for the whole run. Left to itself, every test program starts a server
# and the prefix's services, and a test that starts while the last one's server is
# shutting down can fail at once with no output. The first program, started here with its
# output on /dev/null, starts the services, so none of them holds a test's output open.
/usr/lib/wine/wineserver -p
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
/usr/lib/wine/wine64 cmd /c exit </dev/null >/dev/null 2>&1 || true
ctest --preset windows-x64

cmake --preset windows-x86
cmake --build --preset windows-x86
