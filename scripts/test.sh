#!/usr/bin/env bash
# Builds and runs every test: the whole suite in a normal build, then the
# Debian package made from that build and checked (lintian, desktop entry,
# AppStream, the unpacked programs), the codec and frame tests under
# AddressSanitizer + UndefinedBehaviorSanitizer, and the link engine's
# end-to-end tests under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

# The floors of src/ stack and no Qt header reaches src/core.
python3 scripts/check_layout.py

bash scripts/build.sh build
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j2
bash scripts/check_package.sh build

bash scripts/build.sh build-asan -DVRX4_SANITIZE=address -DVRX4_BUILD_GUI=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j2 -L codec

bash scripts/build.sh build-tsan -DVRX4_SANITIZE=thread -DVRX4_BUILD_GUI=OFF
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --test-dir build-tsan --output-on-failure -j2 -L 'engine|sim|port'
