#!/usr/bin/env bash
# Installs what is missing, builds, and starts the desktop program on the
# built-in simulated regulator. Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh build
program=(build/src/gui/app/vrx4 --simulate "$@")
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "${program[@]}"
fi

# No desktop session (a terminal over ssh, a container): the program runs
# on a virtual X screen (Xvfb, installed by deps.sh) that nobody sees.
runtime=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$runtime/display" 2>"$runtime/xvfb.log" &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; rm -rf "$runtime"' EXIT
for _ in $(seq 200); do
  [ -s "$runtime/display" ] && break
  sleep 0.05
done
if ! [ -s "$runtime/display" ]; then
  echo "run.sh: the virtual X screen did not start:" >&2
  cat "$runtime/xvfb.log" >&2
  exit 2
fi
display=":$(head -n1 "$runtime/display")"
cat >&2 <<MSG
run.sh: no display (DISPLAY and WAYLAND_DISPLAY are unset), so the program runs
        on a virtual X screen, $display, that nobody sees. From another terminal:
          screenshot:  DISPLAY=$display xwd -root -silent > vrx4.xwd   (package x11-apps)
          watch it:    x11vnc -display $display, then connect a VNC viewer   (package x11vnc)
        Or start it from a desktop session to see its window. Ctrl-C ends it.
MSG
DISPLAY="$display" QT_QPA_PLATFORM=xcb "${program[@]}"
