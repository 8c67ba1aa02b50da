#!/usr/bin/env bash
# The GNU parallel recipe of scripts/ run for real: its table equals the unsplit sweep's.
# Exit 77 (skipped) when parallel is not installed.
set -euo pipefail
cli=$1
root=$2
command -v parallel >/dev/null || { echo "parallel is not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
printf 'grid = "10x10"\nsteps = 3\nevery = 2\nseeds = [1, 2]\n[vary]\nTorus = [true, false]\n' > plan.toml
"$cli" sweep plan.toml --quiet --out whole.csv
MAROVI_CLI=$cli bash "$root/scripts/sweep_parallel.sh" plan.toml 3 table.csv
cmp whole.csv table.csv
echo "1 passed, 0 failed"
