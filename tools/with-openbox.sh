#!/usr/bin/env bash
# Runs a command on the current X display with the openbox window manager running, as a
# user's desktop has one: windows get frames, places and the focus from it.
# Usage (inside xvfb-run): bash tools/with-openbox.sh COMMAND [ARGS...]
set -uo pipefail
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
# Ready once it has claimed the screen.
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
"$@"
status=$?
kill "$wm" 2>/dev/null
wait "$wm" 2>/dev/null
exit $status
