#!/usr/bin/env bash
# The disturbance study from the plan to the figures:
#   bash run.sh [OUT] [GRID] [REPLICATES] [STEPS]
# runs the sweep into OUT (default results), finds the patches where each run's most
# abundant species dominates at the end, and draws the figures with R (plot.R) and pandas
# (plot.py), each when installed. GRID, REPLICATES and STEPS replace the plan's (a quick look: 30x30 2 50).
# MAROVI_CLI names the runner (default: the build in the repository, else marovi-cli on the
# PATH, as where MAROVI is installed).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
out="${1:-results}"
cli="${MAROVI_CLI:-$here/../../build/src/cli/marovi-cli}"
[ -n "${MAROVI_CLI:-}" ] || [ -x "$cli" ] || cli=marovi-cli
mkdir -p "$out/labels"
cp "$here"/none.toml "$here"/moderate.toml "$here"/frequent.toml "$out/"
sed -e "${2:+s/^grid = .*/grid = \"$2\"/}" -e "${3:+s/^replicates = .*/replicates = $3/}" \
    -e "${4:+s/^steps = .*/steps = $4/}" "$here/plan.toml" > "$out/plan.toml"

"$cli" sweep "$out/plan.toml" --out "$out/table.csv"

# The last row of each run: its most abundant species. Its patches are the cells in the
# succession state of its guild (the guild makes up at least half of a cell's individuals;
# each species of the study is a guild of its own), as the cluster analysis labels them,
# joined across the edges of the torus, without closing. A species of guild 0, which has no
# state, would give the cells where it lives.
awk -F, 'NR == 1 { for (i = 1; i <= NF; ++i) if ($i ~ /^species[0-9]+$/) { if (!first) first = i; last = i }; next }
         { row[$1] = $0 }
         END { for (r in row) { n = split(row[r], f, ","); best = first
               for (i = first; i <= last; ++i) if (f[i] + 0 > f[best] + 0) best = i
               printf "%d %d\n", r, best - first + 1 } }' "$out/table.csv" | sort -n |
while read -r run species; do
  grid="$(printf '%s/grids/run_%05d.mgf' "$out" "$run")"
  guild="$(sed -n "s/^species$species\.Guild = \([0-9]*\).*/\1/p" "$grid.provenance.txt")"
  if [ "${guild:-0}" -ge 1 ]; then what=(--mode states --state "$guild"); else what=(--mode species --species "$species"); fi
  "$cli" clusters "$grid" "${what[@]}" --no-close --keep-orphans --periodic \
    --labels "$(printf '%s/labels/run_%05d.txt' "$out" "$run")" > /dev/null
done

if command -v Rscript > /dev/null; then Rscript "$here/plot.R" "$out"; else echo "no R: skipped plot.R"; fi
# A Python with pandas and matplotlib: PYTHON, python3, or the system's.
python=""
for p in ${PYTHON:-} python3 /usr/bin/python3; do
  if "$p" -c "import pandas, matplotlib" 2> /dev/null; then python="$p"; break; fi
done
if [ -n "$python" ]; then "$python" "$here/plot.py" "$out"; else echo "no pandas and matplotlib: skipped plot.py"; fi
