#!/usr/bin/env bash
# Installs what is needed, builds MAROVI and runs every test and checks its Debian
# package; then the core and runner tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, those that step on several threads under ThreadSanitizer,
# and a short run of every fuzz target (FUZZ_SECONDS each, default 20).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMAROVI_WERROR=ON
cmake --build build
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j2
# Guard: core work inside the desktop process keeps at least half the runner's speed.
bash bench/desktop_vs_cli.sh --build build --steps 40 --repeat 1 --check 0.5
# The Debian package, unpacked into a scratch root and run.
bash tests/install/package_test.sh build

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMAROVI_SANITIZE=ON -DMAROVI_BUILD_APP=OFF -DMAROVI_WERROR=ON
cmake --build build-asan
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-asan --output-on-failure -j2

# A user's build: Release with the project's defaults (warnings stay warnings); the core
# and the runner with their tests, which the optimiser reads differently.
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMAROVI_BUILD_APP=OFF -DMAROVI_BUILD_BENCH=OFF
cmake --build build-release
ctest --test-dir build-release --output-on-failure -j2

# The tests that step on several threads, under ThreadSanitizer (scripts/tsan.sh runs them all).
bash scripts/tsan.sh 'ParallelStep|Cli\.|Sweep\.|sweep_parallel'

bash scripts/fuzz.sh "${FUZZ_SECONDS:-20}"
