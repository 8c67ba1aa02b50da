#!/usr/bin/env bash
# The cluster analysis of a whole large grid in the "Diversity" window against marovi-cli
# clusters on the same saved simulation, each in a process of its own: the window's time
# from "calc cluster stats" to the report and the longest pause of its event loop meanwhile,
# and the runner's best time for the same report less its best time to load the file
# (marovi-cli info); wall and processor time (all threads), best of REPEAT.
#
#   bench/cluster_window_vs_cli.sh [--build DIR] [--grid WxH] [--steps N] [--repeat R] [--no-clean]
#
# --no-clean turns "close clusters" and "no orphaned cells" off in both: many more clusters.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build grid=1000x1000 steps=2 repeat=3 clean=()
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build="$2"; shift 2 ;;
    --grid) grid="$2"; shift 2 ;;
    --steps) steps="$2"; shift 2 ;;
    --repeat) repeat="$2"; shift 2 ;;
    --no-clean) clean=(--no-close --keep-orphans); shift ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done
cli="$build/src/cli/marovi-cli"
window="$build/bench/app/cluster_window"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$cli" new --seed 4711 --grid "$grid" --steps "$steps" --out "$work/grid.mgf" >/dev/null

# "<wall seconds> <processor seconds>" of a command: on a busy machine the wall time
# stretches, the processor time much less.
measure() {
  local TIMEFORMAT='%R %U %S'
  { time "$@" >/dev/null 2>&1; } 2>&1 | awk '{ print $1, $2 + $3 }'
}
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a < b ? a : b) }'; }

# The runner's analysis: its best time for the report less its best time for the load.
info_wall=1e9 info_cpu=1e9 report_wall=1e9 report_cpu=1e9 window_wall=1e9 window_cpu=1e9 pause=1e9
for _ in $(seq "$repeat"); do
  read -r wall cpu < <(measure "$cli" info "$work/grid.mgf")
  info_wall=$(min "$info_wall" "$wall") info_cpu=$(min "$info_cpu" "$cpu")
  read -r wall cpu < <(measure "$cli" clusters "$work/grid.mgf" --mode species "${clean[@]}")
  report_wall=$(min "$report_wall" "$wall") report_cpu=$(min "$report_cpu" "$cpu")
  out=$("$window" "$work/grid.mgf" ${clean[0]:+--no-clean} 2>/dev/null)
  window_wall=$(min "$window_wall" "$(sed -n 's/^analysis_s=//p' <<<"$out")")
  window_cpu=$(min "$window_cpu" "$(sed -n 's/^cpu_s=//p' <<<"$out")")
  pause=$(min "$pause" "$(sed -n 's/^longest_pause_ms=//p' <<<"$out")")
done
cli_wall=$(awk -v a="$info_wall" -v b="$report_wall" 'BEGIN { print b - a }')
cli_cpu=$(awk -v a="$info_cpu" -v b="$report_cpu" 'BEGIN { print b - a }')
printf 'marovi-cli clusters (less loading): %6.2f s (processor %5.2f s)\n' "$cli_wall" "$cli_cpu"
printf 'cluster window, press to report:    %6.2f s (processor %5.2f s), longest pause of the window %s ms\n' \
  "$window_wall" "$window_cpu" "$pause"
