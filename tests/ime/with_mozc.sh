#!/usr/bin/env bash
# with_mozc.sh COMMAND...: runs COMMAND on a virtual X display where fcitx5
# with mozc is the input method of Qt programs, as a Japanese desktop has
# it. mozc's server refuses to run as root, so everything runs as nobody,
# inside a PID namespace of its own: whatever the input method starts ends
# with it. Exits 77 (skipped) when a part is not installed.
set -u
for tool in Xvfb dbus-launch fcitx5 fcitx5-remote xdotool setpriv unshare; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
[ -e /usr/lib/mozc/mozc_server ] || { echo "skipped: mozc is not installed"; exit 77; }

if [ "$(id -u)" -eq 0 ] && [ -z "${KX_MOZC_INNER:-}" ]; then
  home=$(mktemp -d)
  chmod 755 "$home"
  chown 65534:65534 "$home"
  KX_MOZC_INNER=1 HOME="$home" unshare --pid --fork --kill-child --mount-proc \
    setpriv --reuid=65534 --regid=65534 --clear-groups "$0" "$@"
  rc=$?
  rm -rf "$home"
  exit "$rc"
fi

# The input method group: US keyboard and mozc, mozc active from the start.
mkdir -p "$HOME/.config/fcitx5"
cat > "$HOME/.config/fcitx5/profile" <<'P'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=mozc

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=mozc
Layout=

[GroupOrder]
0=Default
P
printf '[Behavior]\nActiveByDefault=True\n' > "$HOME/.config/fcitx5/config"
export XDG_RUNTIME_DIR="$HOME/run"
mkdir -m 700 -p "$XDG_RUNTIME_DIR"

exec 5> "$HOME/display"
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$HOME/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$HOME/display")"
eval "$(dbus-launch --sh-syntax)"
fcitx5 --disable=wayland,kimpanel,notificationitem,clipboard >"$HOME/fcitx5.log" 2>&1 &
fcitx=$!
# Ready once it answers on the bus.
for _ in $(seq 100); do
  [ "$(fcitx5-remote 2>/dev/null)" != "" ] && [ "$(fcitx5-remote)" != "0" ] && break
  sleep 0.1
done
export QT_IM_MODULE=fcitx QT_QPA_PLATFORM=xcb
"$@"
rc=$?
kill "$fcitx" "$DBUS_SESSION_BUS_PID" "$xvfb" 2>/dev/null
[ "$rc" -ne 0 ] && tail -20 "$HOME/fcitx5.log"
exit "$rc"
