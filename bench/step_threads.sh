#!/usr/bin/env bash
# The time step on 1 and on N threads, three ways:
#   1. one process: step_bench's BM_StepThreads steps the default scenario (100 x 100 and
#      1000 x 1000) on 1 thread and on N threads in turn and reports the speed-up, the serial
#      part of the N-thread step and the speed-ups Amdahl's law predicts from it;
#   2. as a user runs it: marovi-cli new on a 1000 x 1000 grid with --threads 1 and --threads N,
#      separate processes, REPEATS times each in turn (wall and processor seconds, the median
#      ratio; the two grid files must be equal);
#   3. with BASE_BUILD (a build of the program before threads): its 1-thread step against this
#      one's, BM_Step of both step_bench binaries in turn (processor time per step).
#   bash bench/step_threads.sh [BUILD] [BASE_BUILD]      (N: THREADS, default 2; REPEATS, default 3)
# The machine should be quiet: a thread that waits for a descheduled one costs the step its time.
set -euo pipefail
build=$(realpath "${1:-build}")
base=${2:+$(realpath "$2")}
threads=${THREADS:-2}
repeats=${REPEATS:-3}
steps=${STEPS:-10}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== one process: 1 and $threads threads in turn (load: $(cut -d' ' -f1-3 /proc/loadavg))"
THREADS=$threads "$build/bench/step_bench" --benchmark_filter='BM_StepThreads' --benchmark_counters_tabular=true

echo "== marovi-cli new --grid 1000x1000 --steps $steps, separate processes"
cli="$build/src/cli/marovi-cli"
run() { # threads out: prints "wall cpu"
  local t0 t1
  t0=$(date +%s.%N)
  { TIMEFORMAT="%U %S"; time "$cli" new --seed 1 --grid 1000x1000 --steps "$steps" --quiet --threads "$1" --out "$2" >/dev/null; } 2>"$work/cpu"
  t1=$(date +%s.%N)
  awk -v a="$t0" -v b="$t1" -v c="$(tail -1 "$work/cpu")" 'BEGIN { split(c, u, " "); printf "%.2f %.2f\n", b - a, u[1] + u[2] }'
}
ratios=()
for ((i = 1; i <= repeats; ++i)); do
  read -r w1 c1 < <(run 1 "$work/one.mgf")
  read -r wn cn < <(run "$threads" "$work/many.mgf")
  cmp -s "$work/one.mgf" "$work/many.mgf" || { echo "the grid files differ" >&2; exit 1; }
  ratio=$(awk -v a="$w1" -v b="$wn" 'BEGIN { printf "%.2f", a / b }')
  ratios+=("$ratio")
  echo "repeat $i: 1 thread ${w1} s (${c1} cpu s), $threads threads ${wn} s (${cn} cpu s), speed-up $ratio"
done
printf '%s\n' "${ratios[@]}" | sort -g | awk '{ v[NR] = $1 } END { print "median speed-up " v[int((NR + 1) / 2)] }'

if [[ -n "$base" ]]; then
  echo "== 1 thread: $base against $build (processor ms per step)"
  for ((i = 1; i <= repeats; ++i)); do
    for b in "$base" "$build"; do
      printf '%-40s ' "$b"
      "$b/bench/step_bench" --benchmark_filter='BM_Step/' 2>/dev/null | awk '/^BM_Step\// { printf "%s %s %s  ", $1, $4, $5 } END { print "" }'
    done
  done
fi
