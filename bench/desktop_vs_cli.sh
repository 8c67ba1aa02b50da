#!/usr/bin/env bash
# Steps per second of the desktop program's run loop against marovi-cli's, on the same saved
# simulation (the default scenario after 20 steps), each in a process of its own. The
# runner's rate is (STEPS) / (time of STEPS+1 steps - time of 1 step), so that start-up,
# load and save cancel; the desktop process times its run loop itself. Both in wall time
# (what a user sees) and in processor time per step (user + system, all threads: what a
# busy machine distorts less). Best of REPEAT.
#
#   bench/desktop_vs_cli.sh [--build DIR] [--steps N] [--repeat R] [--check MIN_RATIO] [--view] [--every N]
#
# --view runs the desktop with the landscape view shown (individuals, no display delay);
# --every sets its update interval (the view redraws once per round).
#
# With --check, fails when the desktop's processor time per step gives less than MIN_RATIO
# of the runner's rate (the test script uses it as a guard against core work slowing down
# inside a Qt process).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build steps=200 repeat=3 check="" desktop_options=()
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build="$2"; shift 2 ;;
    --steps) steps="$2"; shift 2 ;;
    --repeat) repeat="$2"; shift 2 ;;
    --check) check="$2"; shift 2 ;;
    --view) desktop_options+=(--view); shift ;;
    --every) desktop_options+=(--every "$2"); shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done
cli="$build/src/cli/marovi-cli"
desktop="$build/bench/app/desktop_steps"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$cli" new --seed 4711 --steps 20 --out "$work/start.mgf" >/dev/null

source bench/timing.sh
max() { awk -v a="$1" -v b="$2" 'BEGIN { print (a > b ? a : b) }'; }
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a < b ? a : b) }'; }

best_cli=0 best_desktop=0 cpu_cli=1e9 cpu_desktop=1e9
for _ in $(seq "$repeat"); do
  read -r wall1 cpu1 < <(seconds "$cli" run "$work/start.mgf" --seed 7 --steps 1 --out "$work/one.mgf")
  read -r walln cpun < <(seconds "$cli" run "$work/start.mgf" --seed 7 --steps $((steps + 1)) --out "$work/many.mgf")
  best_cli=$(max "$best_cli" "$(awk -v n="$steps" -v a="$wall1" -v b="$walln" 'BEGIN { print n / (b - a) }')")
  cpu_cli=$(min "$cpu_cli" "$(awk -v n="$steps" -v a="$cpu1" -v b="$cpun" 'BEGIN { print (b - a) / n }')")
  out=$("$desktop" "$work/start.mgf" "$steps" "${desktop_options[@]}" 2>/dev/null)
  best_desktop=$(max "$best_desktop" "$(sed -n 's/^steps_per_s=//p' <<<"$out")")
  cpu_desktop=$(min "$cpu_desktop" "$(sed -n 's/^cpu_s_per_step=//p' <<<"$out")")
done
ratio=$(awk -v d="$best_desktop" -v c="$best_cli" 'BEGIN { print d / c }')
cpu_ratio=$(awk -v d="$cpu_desktop" -v c="$cpu_cli" 'BEGIN { print c / d }')
printf 'marovi-cli run:   %6.2f steps/s, %6.2f ms processor time per step\n' "$best_cli" "$(awk -v c="$cpu_cli" 'BEGIN { print c * 1000 }')"
printf 'desktop run loop: %6.2f steps/s, %6.2f ms processor time per step\n' "$best_desktop" "$(awk -v c="$cpu_desktop" 'BEGIN { print c * 1000 }')"
printf 'desktop/cli: %.3f of the steps per second, %.3f by processor time\n' "$ratio" "$cpu_ratio"
if [ -n "$check" ] && awk -v r="$cpu_ratio" -v c="$check" 'BEGIN { exit !(r < c) }'; then
  echo "the desktop steps at less than $check of the runner's rate" >&2
  exit 1
fi
