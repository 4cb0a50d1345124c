#!/usr/bin/env bash
# Installs what is missing, builds, and starts the main job: the simulated
# regulator answering a short scripted exchange.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh build
exec build/src/sim/vrx4-sim --script
