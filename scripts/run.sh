#!/usr/bin/env bash
# Installs what is missing, builds, and starts the desktop program on the
# built-in simulated regulator. Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh build
program=(build/src/app/vrx4 --simulate "$@")
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "${program[@]}"
fi
# No desktop session (a terminal over ssh, a container): a virtual screen
# keeps the program running, though nobody sees it.
if command -v xvfb-run >/dev/null; then
  echo "run.sh: no display (DISPLAY and WAYLAND_DISPLAY are unset); starting on a virtual X screen (xvfb-run)." >&2
  exec xvfb-run -a -s "-screen 0 1280x800x24" "${program[@]}"
fi
echo "run.sh: no display (DISPLAY and WAYLAND_DISPLAY are unset): start it from a desktop session," >&2
echo "        or install xvfb to run it on a virtual screen." >&2
exit 2
