#!/usr/bin/env bash
# Runs the Linux test suites of the debug build (tools/test.sh builds it) the ways users
# meet the program, one after the other, and fails when any of them fails:
#   1. every suite under C.UTF-8, the windows offscreen;
#   2. every suite again under zh_CN.UTF-8;
#   3. the window suites (CTest label "window") under Xvfb with the openbox window
#      manager, zh_CN.UTF-8: windows get frames, places and the focus as on a desktop;
#   4. the smoke test of the built program as a new user starts it
#      (tests/app/process/smoke-test.sh).
# The locales the tests need are generated here when missing (with sudo when not root).
set -uo pipefail
cd "$(dirname "$0")/.."
BUILD=build/debug
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo

# name, source locale, character set
LOCALES=("zh_CN.UTF-8 zh_CN UTF-8" "zh_CN.GB18030 zh_CN GB18030" "de_DE.UTF-8 de_DE UTF-8"
         "en_US.UTF-8 en_US UTF-8")
installed() { locale -a 2>/dev/null | grep -qix "$(echo "$1" | sed 's/UTF-8/utf8/I')"; }
for entry in "${LOCALES[@]}"; do
    read -r name source charset <<<"$entry"
    installed "$name" || $SUDO localedef -i "$source" -f "$charset" "$name" ||
        echo "could not make the locale $name; its tests are skipped"
done
if ! installed zh_CN.UTF-8; then
    echo "zh_CN.UTF-8 is missing and could not be made (the locales package provides localedef)"
    exit 1
fi

# The program's single-instance lock and Qt want a private runtime folder; CI's root
# session has none.
if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -O "$XDG_RUNTIME_DIR" ] ||
    [ "$(stat -c %a "$XDG_RUNTIME_DIR")" != 700 ]; then
    XDG_RUNTIME_DIR=$(mktemp -d)
    export XDG_RUNTIME_DIR
    trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi

SCREEN=(-a -s "-screen 0 1280x1024x24")
status=0
run() {
    local title=$1
    shift
    echo "== $title"
    if "$@"; then
        echo "== passed: $title"
    else
        echo "== FAILED: $title"
        status=1
    fi
}

run "every suite, C.UTF-8, windows offscreen" \
    env -u LC_ALL -u LANGUAGE LANG=C.UTF-8 ctest --preset debug
run "every suite, zh_CN.UTF-8, windows offscreen" \
    env -u LANGUAGE LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 ctest --preset debug
run "window suites, zh_CN.UTF-8, Xvfb with openbox" \
    env -u LANGUAGE LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 QT_QPA_PLATFORM=xcb \
    xvfb-run "${SCREEN[@]}" bash tools/with-openbox.sh \
    ctest --test-dir "$BUILD" -L window --output-on-failure --timeout 300 --no-tests=error
run "smoke test of the program as a new user starts it, Xvfb with openbox" \
    xvfb-run "${SCREEN[@]}" bash tools/with-openbox.sh bash tests/app/process/smoke-test.sh "$BUILD"
exit $status
