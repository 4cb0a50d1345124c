#!/usr/bin/env bash
# The first start on a bare X server, with no window manager and a fresh
# settings folder: the window must come up with a usable size, not the
# toolkit's tiny default. The size the program saves when SIGTERM ends it
# is the size its page area had.
#   first_window_xvfb.sh PATH-TO-vrx4
set -u
program=$1
if ! command -v Xvfb >/dev/null; then
  echo "Xvfb is not installed: skipped"
  exit 77
fi
dir=$(mktemp -d)
xvfb=
vrx4=
cleanup() {
  [ -n "$vrx4" ] && kill -9 "$vrx4" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$dir"
}
trap cleanup EXIT

# Waits up to 20 s for a condition.
wait_for() {
  for _ in $(seq 400); do
    if eval "$1"; then return 0; fi
    sleep 0.05
  done
  echo "timed out waiting for: $1"
  return 1
}

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
xvfb=$!
wait_for '[ -s "$dir/display" ]' || exit 1

DISPLAY=":$(head -n1 "$dir/display")" QT_QPA_PLATFORM=xcb \
  "$program" --config "$dir/VRX4.ini" --simulate 2>"$dir/stderr" &
vrx4=$!
# The program writes its language to the settings once its labels are up.
wait_for 'grep -q "^Language=" "$dir/VRX4.ini" 2>/dev/null' || { cat "$dir/stderr"; exit 1; }
kill -TERM "$vrx4"
wait "$vrx4"
status=$?
vrx4=
[ "$status" -eq 0 ] || { echo "exit status $status"; cat "$dir/stderr"; exit 1; }

cx=$(sed -n 's/^CX=\([0-9]*\).*/\1/p' "$dir/VRX4.ini")
cy=$(sed -n 's/^CY=\([0-9]*\).*/\1/p' "$dir/VRX4.ini")
echo "first window on a bare 1280x800 X server: page area ${cx}x${cy}"
if [ "${cx:-0}" -lt 1000 ] || [ "${cy:-0}" -lt 700 ]; then
  echo "the first window is too small to use"
  exit 1
fi
