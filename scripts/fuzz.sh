#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 60).
# Inputs found are kept in build-fuzz/corpus/<target> (seeded from fuzz/corpus/<target>);
# a crashing input is written to build-fuzz/artifacts/<target>/ and the script fails.
# Add such an input to fuzz/regression/<target>/ once fixed: the ordinary tests replay it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
targets=(grid_file status_list species_pool disturbances flow_grid flow_text state_defs grey_image bmp cell_matrix)

if [ ! -f build-fuzz/build.ninja ]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DMAROVI_FUZZ=ON -DMAROVI_BUILD_APP=OFF -DMAROVI_WERROR=ON \
    -DMAROVI_BUILD_BENCH=OFF >/dev/null
fi
cmake --build build-fuzz --target fuzz_targets -- -j2

failed=0
for t in "${targets[@]}"; do
  corpus="build-fuzz/corpus/$t"
  artifacts="build-fuzz/artifacts/$t"
  mkdir -p "$corpus" "$artifacts"
  log="build-fuzz/fuzz_$t.log"
  # 64 MiB is far more than any reader may allocate for an input of a few KiB.
  if ! "build-fuzz/fuzz/fuzz_$t" "$corpus" "fuzz/corpus/$t" -max_total_time="$seconds" -timeout=10 \
      -malloc_limit_mb=64 -rss_limit_mb=2048 -artifact_prefix="$artifacts/" -print_final_stats=1 >"$log" 2>&1; then
    failed=1
    echo "$t: FAILED (see $log and $artifacts)"
    grep -m 3 -E "ERROR|reader fault|runtime error" "$log" || true
    continue
  fi
  execs=$(grep -m1 'stat::number_of_executed_units' "$log" | awk '{print $2}')
  cov=$(grep -E '^#[0-9]+.*cov:' "$log" | tail -1 | sed -E 's/.*cov: ([0-9]+).*ft: ([0-9]+).*/cov \1 ft \2/')
  echo "$t: ok, $execs runs, $cov"
done
exit $failed
