#!/usr/bin/env bash
# Builds the Debian package, checks it (lintian, the desktop entry, the AppStream data),
# installs it with apt, starts the installed program as an ordinary user with a fresh home
# on a virtual X screen with a window manager, ends it from the window frame, then removes
# the package and checks that none of its files is left. Needs root (apt-get, a test
# user); CI runs it after tools/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || { echo "test-package.sh installs a package: run it as root" >&2; exit 1; }
bash tools/install-deps.sh
export DEBIAN_FRONTEND=noninteractive

say() { printf '\n== %s\n' "$*"; }
fail() { echo "FAIL: $*" >&2; exit 1; }

WORK=$(mktemp -d /tmp/morvane-package.XXXXXX)
chmod 0755 "$WORK"
PIDS=()
INSTALLED=""
cleanup() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    # A failed run takes the package it installed away again.
    [ -z "$INSTALLED" ] || apt-get remove -y -qq morvane >/dev/null 2>&1 || true
    rm -rf "$WORK"
}
trap cleanup EXIT

say "Building the package (Release, program only)"
rm -f build/package/morvane_*.deb
cmake --workflow --preset package
DEB=$(ls build/package/morvane_*.deb)
dpkg-deb --info "$DEB"
dpkg-deb --contents "$DEB"
[ "$(dpkg-deb --field "$DEB" Version)" = 8.0.0.3 ] || fail "package version is not 8.0.0.3"

say "lintian"
lintian --fail-on error --display-info "$DEB"
echo "lintian: no errors"

say "desktop-file-validate and appstreamcli"
dpkg-deb -x "$DEB" "$WORK/unpacked"
desktop-file-validate "$WORK/unpacked/usr/share/applications/morvane.desktop"
echo "desktop-file-validate: morvane.desktop is valid"
appstreamcli validate --no-net "$WORK/unpacked/usr/share/metainfo/"*.metainfo.xml

say "Installing with apt-get"
# What the package holds, to check after the removal.
dpkg-deb --fsys-tarfile "$DEB" | tar -t | sed -e 's|^\./|/|' -e 's|/$||' | grep -v '^/\?$' \
    >"$WORK/package-paths"
INSTALLED=yes
apt-get install -y --no-install-recommends "./$DEB"
[ "$(command -v morvane)" = /usr/bin/morvane ] || fail "morvane is not /usr/bin/morvane on the PATH"
readlink -f /usr/bin/morvane

say "Starting the installed program as an ordinary user"
USER_NAME=morvane-ci
id "$USER_NAME" >/dev/null 2>&1 || useradd --no-create-home --shell /usr/sbin/nologin "$USER_NAME"
USER_ID=$(id -u "$USER_NAME")
GROUP_ID=$(id -g "$USER_NAME")
HOME_DIR="$WORK/home"
RUNTIME_DIR="$WORK/runtime"
install -d -m 0700 -o "$USER_ID" -g "$GROUP_ID" "$HOME_DIR" "$RUNTIME_DIR"
LOCALE=C.UTF-8
locale -a | grep -qx 'zh_CN.utf8' && LOCALE=zh_CN.UTF-8
echo "user $USER_NAME ($USER_ID), home $HOME_DIR, locale $LOCALE"

# A virtual screen that tells its own display number, and openbox on it.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.log" &
PIDS+=($!)
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
[ -s "$WORK/display" ] || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
DISPLAY=":$(head -n1 "$WORK/display")"
export DISPLAY

# The test user with the environment a desktop session gives (a prefix of commands, not a
# function, so that a command started in the background is the process $! names).
AS_USER=(setpriv --reuid "$USER_ID" --regid "$GROUP_ID" --clear-groups --reset-env --
         env HOME="$HOME_DIR" XDG_RUNTIME_DIR="$RUNTIME_DIR" USER="$USER_NAME" LOGNAME="$USER_NAME"
         LANG="$LOCALE" LC_ALL="$LOCALE" DISPLAY="$DISPLAY" PATH=/usr/local/bin:/usr/bin:/bin)
"${AS_USER[@]}" openbox >"$WORK/openbox.log" 2>&1 &
PIDS+=($!)
sleep 1

# Started as a menu starts it: the entry's Exec, in the entry's Path.
ENTRY=/usr/share/applications/morvane.desktop
EXEC=$(sed -n 's/^Exec=//p' "$ENTRY")
START_IN=$(sed -n 's/^Path=//p' "$ENTRY")
echo "Exec=$EXEC Path=$START_IN"
"${AS_USER[@]}" sh -c 'cd "$1" && exec $2' sh "$START_IN" "$EXEC" >"$WORK/morvane.out" 2>&1 &
PROGRAM=$!
PIDS+=("$PROGRAM")

# The launcher is the only window the program shows when it starts on a fresh home; any
# other window of the process (an error or any other message box) fails the test.
windows_of_program() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$PROGRAM" 2>/dev/null); do
        echo "$w $(xdotool getwindowname "$w" 2>/dev/null)"
    done
}
LAUNCHER=""
for _ in $(seq 300); do
    kill -0 "$PROGRAM" 2>/dev/null || break
    LAUNCHER=$(windows_of_program | awk '$2 == "Morvane" && $3 == "---" { print $1 }')
    [ -n "$LAUNCHER" ] && break
    sleep 0.1
done
[ -n "$LAUNCHER" ] || { cat "$WORK/morvane.out"; fail "the launcher did not appear within 30 s"; }
# Late windows (a check that fails a few seconds after the start) get time to show.
sleep 8
windows_of_program | tee "$WORK/windows"
if [ "$(wc -l <"$WORK/windows")" -ne 1 ]; then
    command -v import >/dev/null && import -window root /tmp/morvane-package-failure.png || true
    cat "$WORK/morvane.out"
    fail "a window besides the launcher came up (an error box?)"
fi
echo "the launcher came up alone: $(cat "$WORK/windows")"

say "Ending the program from the launcher's window frame"
xdotool windowactivate --sync "$LAUNCHER"
xdotool key --clearmodifiers alt+F4
CODE=""
for _ in $(seq 150); do
    if ! kill -0 "$PROGRAM" 2>/dev/null; then
        wait "$PROGRAM" && CODE=0 || CODE=$?
        break
    fi
    sleep 0.1
done
echo "--- program output"
cat "$WORK/morvane.out"
echo "---"
[ -n "$CODE" ] || fail "the program did not end within 15 s of closing the launcher"
[ "$CODE" -eq 0 ] || fail "the program ended with exit code $CODE"
echo "the program ended with exit code 0"

FOLDER="$HOME_DIR/.local/share/Morvane"
ls -l "$FOLDER"
[ -s "$FOLDER/Morvane.cfg" ] || fail "no settings file in $FOLDER"
[ "$(stat -c %u "$FOLDER/Morvane.cfg")" = "$USER_ID" ] || fail "the settings file is not the user's"
[ -f "$FOLDER/Morvane.cfg.Garbage" ] || fail "no junk types file in $FOLDER"
[ -e "$FOLDER/kind.ini" ] || fail "the program categories are not offered in $FOLDER"
echo "settings written to $FOLDER/Morvane.cfg ($(stat -c %s "$FOLDER/Morvane.cfg") bytes)"
# The install folder holds the package's files and nothing the program wrote.
EXTRA=$(comm -13 <(grep '^/usr/lib/morvane' "$WORK/package-paths" | sort) \
                 <(find /usr/lib/morvane | sort))
[ -z "$EXTRA" ] || fail "the program wrote into its install folder: $EXTRA"

say "Removing with apt-get"
apt-get remove -y morvane
INSTALLED=""
! dpkg-query -W -f='${Status}\n' morvane 2>/dev/null | grep -q 'installed$' ||
    fail "morvane is still installed"
LEFT=0
while read -r path; do
    [ -e "$path" ] || [ -L "$path" ] || continue
    # A folder that another package owns too stays, and so does a folder holding other
    # packages' files; the package's own files and folders must be gone.
    if [ -d "$path" ] && [ ! -L "$path" ] && { dpkg-query -S "$path" >/dev/null 2>&1 || [ -n "$(ls -A "$path")" ]; }; then
        continue
    fi
    echo "left behind: $path"
    LEFT=1
done <"$WORK/package-paths"
[ "$LEFT" -eq 0 ] || fail "files of the package are left after apt-get remove"
echo "apt-get remove left no file of the package"
