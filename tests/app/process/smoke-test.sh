#!/usr/bin/env bash
# Starts the built program as a new user meets it: a fresh home, the Chinese locale, from
# the root folder, on an X display with a window manager, with a small set of installed
# programs of its own. A probe loaded into the program (morvane_window_probe) reports
# which windows are on the screen and what their lists hold; xdotool clicks as a user.
#   - the launcher comes up, and no other window, within 10 s;
#   - the program manager opened from the launcher lists every program, each under its
#     category;
#   - the exit button, and then SIGTERM, end the program with exit code 0 and its
#     settings file on disk.
# Usage (on an X display with a window manager, see tools/with-openbox.sh):
#   bash tests/app/process/smoke-test.sh [build folder]
set -uo pipefail
source_dir=$(cd "$(dirname "$0")/../../.." && pwd)
build=$(cd "${1:-$source_dir/build/debug}" && pwd)
probe=$build/bin/libmorvane_window_probe.so
passed=0
failed=0

work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

check() {
    local name=$1
    shift
    if "$@"; then
        echo "PASS: $name"
        passed=$((passed + 1))
    else
        echo "FAIL: $name"
        failed=$((failed + 1))
    fi
}

# The program folder, as an installation lays it out.
prog=$work/opt/morvane
mkdir -p "$prog"
cp "$build/bin/morvane" "$prog/"
cp "$source_dir/data/Tips.CFG" "$source_dir/data/kind.ini" "$source_dir/data/Option2.CFG" "$prog/"

# The installed programs: desktop entries exported by flatpak, so that each has an
# uninstaller; the names pick the categories of kind.ini.
apps=$work/flatpak/exports/share/applications
mkdir -p "$apps"
declare -A category=(
    [Vim]="编程开发" [Firefox]="网页浏览" [GIMP]="图形图像"
    [Thunderbird]="电子邮件" [VLC]="影音播放" [Zyxwvut]="其它分类"
)
for name in "${!category[@]}"; do
    printf '[Desktop Entry]\nType=Application\nName=%s\nExec=%s\n' "$name" "${name,,}" \
        >"$apps/org.example.$name.desktop"
done

home=$work/home
runtime=$work/runtime
mkdir -p "$home"
mkdir -m 700 "$runtime"
snapshot=$work/probe.txt

start() {
    rm -f "$snapshot"
    (cd / && exec env -i PATH=/usr/local/bin:/usr/bin:/bin DISPLAY="$DISPLAY" \
        ${XAUTHORITY:+XAUTHORITY="$XAUTHORITY"} HOME="$home" XDG_RUNTIME_DIR="$runtime" \
        XDG_DATA_DIRS="$work/flatpak/exports/share" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 \
        LD_PRELOAD="$probe" MORVANE_PROBE_FILE="$snapshot" "$prog/morvane") &
    pid=$!
}

# Polls a command every 0.2 s for up to the seconds given.
wait_for() {
    local seconds=$1
    shift
    for _ in $(seq $((seconds * 5))); do
        "$@" && return 0
        sleep 0.2
    done
    return 1
}

windows() { [ -f "$snapshot" ] && awk '$1 == "window" { print $2 }' "$snapshot" | sort | xargs; }
shows() { [ "$(windows)" = "$1" ]; }
has() { [ -f "$snapshot" ] && grep -q "^window $1 " "$snapshot"; }
row() { grep -qxF "row $1" "$snapshot"; }
# Ended, also while it waits for its exit code to be collected.
ended() { [ ! -r "/proc/$pid/stat" ] || [ "$(cut -d' ' -f3 "/proc/$pid/stat" 2>/dev/null)" = Z ]; }

exit_code() {
    wait "$pid"
    local code=$?
    pid=
    return $code
}

settings_file() {
    # The program folder when it is writable, else the user's own copy of it.
    [ -s "$prog/Morvane.cfg" ] || [ -s "$home/.local/share/Morvane/Morvane.cfg" ]
}

x_window() { xdotool search --onlyvisible --pid "$pid" --name "$1" 2>/dev/null | head -1; }

launcher_alone() {
    # Whatever else comes up at start (a message, the tips) comes within these seconds.
    for _ in $(seq 15); do
        shows TFrm_Wizard || { echo "  on the screen: $(windows)"; return 1; }
        sleep 0.2
    done
}

program_manager_lists_every_program() {
    sleep 1 # the list is built when the window is shown and activated
    local ok=0 name
    for name in "${!category[@]}"; do
        row "TfrmUninstall Lv_UninstallList $name" || { echo "  not listed: $name"; ok=1; }
        row "TfrmUninstall tvFileType ${category[$name]}(1)" || { echo "  not in ${category[$name]}: $name"; ok=1; }
    done
    [ $ok -eq 0 ] || sed -n 's/^row TfrmUninstall /  /p' "$snapshot"
    return $ok
}

click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }

# First start: the launcher, the program manager, the exit button.
start
check "the launcher comes up within 10 s" wait_for 10 has TFrm_Wizard
check "no other window comes up with it" launcher_alone
launcher=$(x_window 'Morvane --- Ostrel')
check "the launcher is a window on the screen" test -n "$launcher"
if [ -n "$launcher" ]; then
    click "$launcher" 293 180 # ImgUninstall
    check "the program manager opens from the launcher" wait_for 20 shows "TFrm_Wizard TfrmUninstall"
    check "the program manager lists every program under its category" program_manager_lists_every_program
    manager=$(x_window '应用程序管理')
    [ -n "$manager" ] && xdotool key --window "$manager" Escape
    wait_for 10 shows TFrm_Wizard
    click "$launcher" 408 306 # Btn_Exit
fi
check "the exit button ends the program within 10 s" wait_for 10 ended
check "the exit button ends with exit code 0" exit_code
check "the settings are on disk after the exit button" settings_file

# Second start: the end of the session.
rm -f "$prog/Morvane.cfg" "$home/.local/share/Morvane/Morvane.cfg"
start
check "the launcher comes up again" wait_for 10 has TFrm_Wizard
kill -TERM "$pid"
check "SIGTERM ends the program within 10 s" wait_for 10 ended
check "SIGTERM ends with exit code 0" exit_code
check "the settings are on disk after SIGTERM" settings_file

echo "smoke: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
