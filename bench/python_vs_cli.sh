#!/usr/bin/env bash
# The marovi Python module against marovi-cli, each in a process of its own:
# - step(n) from Python against marovi-cli run on the same saved simulation (the default
#   scenario on a WxH grid after 20 steps), both writing a status entry per step and saving
#   the grid file and its companion (the files are compared). Each side's rate is
#   STEPS / (time of STEPS+1 steps - time of 1 step), so that start-up, import, load and
#   save cancel; in wall time and in processor time per step (user + system). Best of REPEAT.
# - the abundance array [species, y, x] of the 1000 x 1000 start-up state: the fastest of
#   20 calls of Simulation.abundance().
#
#   bench/python_vs_cli.sh [--build DIR] [--grid WxH] [--steps N] [--repeat R]
set -euo pipefail
cd "$(dirname "$0")/.."
build=build grid=100x100 steps=200 repeat=3
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build="$2"; shift 2 ;;
    --grid) grid="$2"; shift 2 ;;
    --steps) steps="$2"; shift 2 ;;
    --repeat) repeat="$2"; shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done
cli="$build/src/cli/marovi-cli"
python=$(sed -n 's/^Python_EXECUTABLE:FILEPATH=//p' "$build/CMakeCache.txt")
export PYTHONPATH="$build/src/python"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$cli" new --seed 4711 --grid "$grid" --steps 20 --out "$work/start.mgf" >/dev/null

source bench/timing.sh
run_cli() { "$cli" run "$work/start.mgf" --seed 7 --steps "$1" --status --out "$work/cli.mgf"; }
run_python() {
  "$python" -c "import marovi; s = marovi.load('$work/start.mgf', seed=7); s.step($1); s.save('$work/py.mgf')"
}
# Steps per second and processor seconds per step of a side, from runs of 1 and N+1 steps.
rates() {
  read -r wall1 cpu1 < <(seconds "$1" 1)
  read -r walln cpun < <(seconds "$1" $((steps + 1)))
  awk -v n="$steps" -v a="$wall1" -v b="$walln" -v c="$cpu1" -v d="$cpun" 'BEGIN { print n / (b - a), (d - c) / n }'
}

best_cli=0 best_py=0 cpu_cli=1e9 cpu_py=1e9
for _ in $(seq "$repeat"); do
  read -r rate cpu < <(rates run_cli)
  best_cli=$(awk -v a="$best_cli" -v b="$rate" 'BEGIN { print (a > b ? a : b) }')
  cpu_cli=$(awk -v a="$cpu_cli" -v b="$cpu" 'BEGIN { print (a < b ? a : b) }')
  read -r rate cpu < <(rates run_python)
  best_py=$(awk -v a="$best_py" -v b="$rate" 'BEGIN { print (a > b ? a : b) }')
  cpu_py=$(awk -v a="$cpu_py" -v b="$cpu" 'BEGIN { print (a < b ? a : b) }')
done
cmp -s "$work/cli.mgf" "$work/py.mgf" || { echo "the grid files differ" >&2; exit 1; }
printf 'marovi-cli run:      %7.2f steps/s, %6.2f ms processor time per step\n' "$best_cli" "$(awk -v c="$cpu_cli" 'BEGIN { print c * 1000 }')"
printf 'Simulation.step(n):  %7.2f steps/s, %6.2f ms processor time per step\n' "$best_py" "$(awk -v c="$cpu_py" 'BEGIN { print c * 1000 }')"
printf 'python/cli: %.3f of the steps per second, %.3f by processor time\n' \
  "$(awk -v p="$best_py" -v c="$best_cli" 'BEGIN { print p / c }')" "$(awk -v p="$cpu_py" -v c="$cpu_cli" 'BEGIN { print c / p }')"

"$python" - <<'PY'
import time
import marovi

sim = marovi.Simulation(seed=1, grid=(1000, 1000))
times = []
for _ in range(20):
    t0 = time.perf_counter()
    a = sim.abundance()
    times.append(time.perf_counter() - t0)
print(f"abundance array {a.shape} of {a.sum()} individuals: {min(times) * 1000:.1f} ms (fastest of 20)")
PY
