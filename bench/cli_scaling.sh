#!/usr/bin/env bash
# Runs per second of marovi-cli on 1 and on 2 threads, as separate processes:
#   replicates: new --replicates R on the default scenario (start-up state, 100 x 100)
#   sweep:      a sweep of 20 short runs (examples-sized plan below)
# Each figure is measured REPEATS times; the lines give every repeat, the median ratio, and
# the processor seconds per run (user + system), which shows how much the threads cost each
# other independent of what else the machine runs. "2 processes" runs the 1-thread command
# twice at once in separate directories: the most two cores of this machine give, whatever
# the program does.
#   bash bench/cli_scaling.sh [build/src/cli/marovi-cli] [REPEATS]
set -euo pipefail
cli=$(realpath "${1:-build/src/cli/marovi-cli}")
repeats=${2:-3}
replicates=${REPLICATES:-8}
steps=${STEPS:-100}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cat > plan.toml <<'PLAN'
grid = "60x60"
steps = 60
every = 10
seeds = [1, 2, 3, 4, 5]
[vary]
NeighbourhoodSize = [1, 2]
BiasedLottery = [false, true]
PLAN

# One measurement: prints "runs_per_second cpu_seconds_per_run".
measure() {
  local runs=$1; shift
  local t0 t1 cpu
  t0=$(date +%s.%N)
  { TIMEFORMAT="%U %S"; time "$@" >/dev/null 2>&1; } 2>cpu.txt
  t1=$(date +%s.%N)
  cpu=$(tail -1 cpu.txt)
  awk -v r="$runs" -v a="$t0" -v b="$t1" -v c="$cpu" 'BEGIN { split(c, u, " "); printf "%.3f %.3f\n", r / (b - a), (u[1] + u[2]) / r }'
}

# Two 1-thread processes at once: prints their runs per second together.
measure_two() {
  local runs=$1; shift
  local t0 t1
  rm -rf a b && mkdir a b
  t0=$(date +%s.%N)
  (cd a && "$@" --jobs 1 >/dev/null 2>&1) &
  (cd b && "$@" --jobs 1 >/dev/null 2>&1) &
  wait
  t1=$(date +%s.%N)
  awk -v r="$runs" -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f\n", 2 * r / (b - a) }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

report() {
  local name=$1 runs=$2; shift 2
  local ratios=()
  for ((i = 1; i <= repeats; ++i)); do
    rm -f out* table*
    read -r one cpu1 < <(measure "$runs" "$@" --jobs 1)
    rm -f out* table*
    read -r two cpu2 < <(measure "$runs" "$@" --jobs 2)
    procs=$(measure_two "$runs" "$@")
    ratio=$(awk -v a="$one" -v b="$two" 'BEGIN { printf "%.2f", b / a }')
    ratios+=("$ratio")
    printf "%-10s repeat %d: 1 thread %6.3f runs/s (%.3f cpu s/run), 2 threads %6.3f runs/s (%.3f cpu s/run), ratio %s; 2 processes %6.3f runs/s, ratio %.2f\n" \
      "$name" "$i" "$one" "$cpu1" "$two" "$cpu2" "$ratio" "$procs" "$(awk -v a="$one" -v b="$procs" 'BEGIN { print b / a }')"
  done
  printf "%-10s median ratio %s (of %s)\n" "$name" "$(printf '%s\n' "${ratios[@]}" | median)" "${ratios[*]}"
}

report replicates "$replicates" "$cli" new --seed 1 --replicates "$replicates" --steps "$steps" --quiet --out out.mgf
report sweep 20 "$cli" sweep "$work/plan.toml" --quiet --out table.csv
