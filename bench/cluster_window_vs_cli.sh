#!/usr/bin/env bash
# The cluster analysis of a whole large grid in the "Diversity" window against marovi-cli
# clusters on the same saved simulation, each in a process of its own: the window's time
# from "calc cluster stats" to the report and the longest pause of its event loop meanwhile,
# and the runner's time for the same report less its time to load the file (marovi-cli
# info). Best of REPEAT.
#
#   bench/cluster_window_vs_cli.sh [--build DIR] [--grid WxH] [--steps N] [--repeat R]
set -euo pipefail
cd "$(dirname "$0")/.."
build=build grid=1000x1000 steps=2 repeat=3
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
window="$build/bench/app/cluster_window"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$cli" new --seed 4711 --grid "$grid" --steps "$steps" --out "$work/grid.mgf" >/dev/null

wall() {
  local t0 t1
  t0=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  t1=$(date +%s.%N)
  awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }'
}
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a < b ? a : b) }'; }

best_cli=1e9 best_window=1e9 pause=1e9
for _ in $(seq "$repeat"); do
  load=$(wall "$cli" info "$work/grid.mgf")
  report=$(wall "$cli" clusters "$work/grid.mgf" --mode species)
  best_cli=$(min "$best_cli" "$(awk -v a="$load" -v b="$report" 'BEGIN { print b - a }')")
  out=$("$window" "$work/grid.mgf" 2>/dev/null)
  best_window=$(min "$best_window" "$(sed -n 's/^analysis_s=//p' <<<"$out")")
  pause=$(min "$pause" "$(sed -n 's/^longest_pause_ms=//p' <<<"$out")")
done
printf 'marovi-cli clusters (less loading): %6.2f s\n' "$best_cli"
printf 'cluster window, press to report:    %6.2f s, longest pause of the window %s ms\n' "$best_window" "$pause"
