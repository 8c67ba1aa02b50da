#!/usr/bin/env bash
# The core and runner tests under ThreadSanitizer (build dir build-tsan): every time step test
# on several threads, the runner's runs on the processors' threads, runs and sweeps side by side.
#   bash scripts/tsan.sh [CTEST_REGEX]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMAROVI_TSAN=ON -DMAROVI_BUILD_APP=OFF \
  -DMAROVI_BUILD_BENCH=OFF
cmake --build build-tsan
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ctest --test-dir build-tsan --output-on-failure -j2 ${1:+-R "$1"}
