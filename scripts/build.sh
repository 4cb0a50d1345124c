#!/usr/bin/env bash
# Configures and builds one build tree: scripts/build.sh [DIR] [cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
cmake -S . -B "$dir" -DVRX4_WERROR=ON "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
