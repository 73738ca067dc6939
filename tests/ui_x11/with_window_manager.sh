#!/usr/bin/env bash
# with_window_manager.sh COMMAND...: runs COMMAND on the current X display
# under a window manager, as a user's desktop has one: windows are then
# mapped only when the manager says so, which is what a window just shown
# must wait for.
set -u
openbox >/dev/null 2>&1 &
wm=$!
# Ready once it has announced itself on the root window.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.1
done
"$@"
rc=$?
kill "$wm" 2>/dev/null
wait "$wm" 2>/dev/null
exit "$rc"
